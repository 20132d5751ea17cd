"""The project's own C++ files: what git tracks, so that work not yet added is left alone."""
import pathlib
import subprocess

SUFFIXES = (".cpp", ".h")


def projectFiles(root):
    root = pathlib.Path(root)
    try:
        listed = subprocess.run(["git", "-C", str(root), "ls-files", "-z"], check=True,
                                capture_output=True).stdout.decode("utf-8").split("\0")
        names = [n for n in listed if n.endswith(SUFFIXES)]
    except (OSError, subprocess.CalledProcessError):
        # A source tree without git: every C++ file outside build folders.
        names = [str(p.relative_to(root)) for p in root.rglob("*") if p.suffix in SUFFIXES
                 and not p.relative_to(root).parts[0].startswith((".", "build"))]
    # A tracked file deleted in the working tree is someone's move in progress.
    return sorted(n for n in names if (root / n).is_file())
