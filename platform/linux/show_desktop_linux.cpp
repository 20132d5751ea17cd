#include "platform/linux/show_desktop_linux.h"

#include <QtGui/qguiapplication_platform.h>
#include <dlfcn.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>

namespace sayolt {

namespace {

// libxcb is resolved at run time from the copy Qt's xcb plugin already loaded, so the programs
// do not depend on it and other platforms never touch it.
struct Xcb {
  decltype(&xcb_intern_atom) internAtom = nullptr;
  decltype(&xcb_intern_atom_reply) internAtomReply = nullptr;
  decltype(&xcb_get_setup) getSetup = nullptr;
  decltype(&xcb_setup_roots_iterator) rootsIterator = nullptr;
  decltype(&xcb_send_event) sendEvent = nullptr;
  decltype(&xcb_flush) flush = nullptr;

  bool load(void* lib) {
    internAtom = reinterpret_cast<decltype(internAtom)>(dlsym(lib, "xcb_intern_atom"));
    internAtomReply = reinterpret_cast<decltype(internAtomReply)>(dlsym(lib, "xcb_intern_atom_reply"));
    getSetup = reinterpret_cast<decltype(getSetup)>(dlsym(lib, "xcb_get_setup"));
    rootsIterator = reinterpret_cast<decltype(rootsIterator)>(dlsym(lib, "xcb_setup_roots_iterator"));
    sendEvent = reinterpret_cast<decltype(sendEvent)>(dlsym(lib, "xcb_send_event"));
    flush = reinterpret_cast<decltype(flush)>(dlsym(lib, "xcb_flush"));
    return internAtom && internAtomReply && getSetup && rootsIterator && sendEvent && flush;
  }
};

bool sendShowingDesktop(xcb_connection_t* connection, const Xcb& xcb) {
  static const char kAtomName[] = "_NET_SHOWING_DESKTOP";
  const auto cookie = xcb.internAtom(connection, 0, sizeof kAtomName - 1, kAtomName);
  xcb_intern_atom_reply_t* reply = xcb.internAtomReply(connection, cookie, nullptr);
  if (!reply) return false;
  const xcb_atom_t atom = reply->atom;
  std::free(reply);

  const xcb_setup_t* setup = xcb.getSetup(connection);
  if (!setup) return false;
  const xcb_screen_iterator_t screens = xcb.rootsIterator(setup);
  if (screens.rem == 0 || !screens.data) return false;

  xcb_client_message_event_t event;
  std::memset(&event, 0, sizeof event);
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = screens.data->root;
  event.type = atom;
  event.data.data32[0] = 1;
  // A window manager without EWMH support just ignores the message.
  xcb.sendEvent(connection, 0, screens.data->root,
                XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                reinterpret_cast<const char*>(&event));
  return xcb.flush(connection) > 0;
}

}  // namespace

bool showDesktop() {
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (!app || QGuiApplication::platformName() != QStringLiteral("xcb")) return false;
  auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
  // Checked: other platforms hand out the interface with no connection behind it.
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  if (!connection) return false;
  void* lib = dlopen("libxcb.so.1", RTLD_NOW | RTLD_NOLOAD);
  if (!lib) return false;
  Xcb xcb;
  const bool sent = xcb.load(lib) && sendShowingDesktop(connection, xcb);
  dlclose(lib);
  return sent;
}

}  // namespace sayolt
