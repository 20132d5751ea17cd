#!/usr/bin/env python3
"""CPU used while the time check waits for silent time servers.

Runs `sayolt-plan timecheck` against 127.0.0.1 for both servers, so all four attempts wait their
full 10 seconds (about 40 s), and reads the child's CPU time with getrusage (os.wait4). A second
run with no server names ends without waiting; its CPU time is the start-up cost, subtracted to
give the cost of the waiting itself. Target: under 50 ms of CPU for the four waits.

A silent listener is put on 127.0.0.1:123 when the port can be bound (root); otherwise requests
go to a closed loopback port, which the unconnected socket does not hear about either. The run is
refused if anything answers.

Usage: bench/ntp_idle_cpu.py [path/to/sayolt-plan]
"""
import json
import os
import socket
import subprocess
import sys
import tempfile
import threading
import time

TARGET_MS = 50.0


def settings(servers):
    lines = ["[起動時調整時間]", "時間=120", "[NTPサーバー]"]
    lines += [f"サーバー{i}={name}" for i, name in enumerate(servers)]
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


def silent_listener():
    """Binds 127.0.0.1:123 and swallows requests; None when the port cannot be had."""
    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    try:
        s.bind(("127.0.0.1", 123))
    except OSError:
        s.close()
        return None
    received = []

    def drain():
        while True:
            try:
                received.append(s.recv(2048))
            except OSError:
                return

    threading.Thread(target=drain, daemon=True).start()
    return s, received


def measure(binary, folder, servers):
    path = os.path.join(folder, f"settings-{len(servers)}.ini")
    with open(path, "wb") as f:
        f.write(settings(servers))
    start = time.monotonic()
    child = subprocess.Popen([binary, "timecheck", path, "--json"], stdout=subprocess.PIPE)
    output = child.stdout.read()
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.monotonic() - start
    result = json.loads(output)
    if any(a["answered"] for a in result["attempts"]):
        sys.exit("something answered on 127.0.0.1:123; stop it and run again")
    return wall, (usage.ru_utime + usage.ru_stime) * 1000.0, result


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    binary = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "build", "tools", "sayolt-plan")
    listener = silent_listener()
    with tempfile.TemporaryDirectory() as folder:
        base_wall, base_cpu, _ = measure(binary, folder, ["", ""])
        wall, cpu, result = measure(binary, folder, ["127.0.0.1", "127.0.0.1"])
    waiting = cpu - base_cpu
    print(f"listener on 127.0.0.1:123: {'yes, ' + str(len(listener[1])) + ' requests swallowed' if listener else 'no (closed port)'}")
    print(f"attempts: {len(result['attempts'])}, failure: {result['failure']['case']}")
    print(f"silent run:  wall {wall:6.2f} s, CPU {cpu:7.2f} ms")
    print(f"no waiting:  wall {base_wall:6.2f} s, CPU {base_cpu:7.2f} ms (start-up)")
    print(f"waiting:     CPU {waiting:7.2f} ms over {wall - base_wall:.1f} s (target < {TARGET_MS:.0f} ms)")
    return 0 if cpu < TARGET_MS else 1


if __name__ == "__main__":
    sys.exit(main())
