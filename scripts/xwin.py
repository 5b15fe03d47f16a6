#!/usr/bin/python3
"""Small X11 helper for looking at the program without a window manager.

  xwin.py list                 top-level windows: id, geometry, title
  xwin.py wait TITLE [SECS]    waits until a mapped window with TITLE exists, prints its id
  xwin.py close TITLE          asks the window to close, as a window manager does
                               (a WM_DELETE_WINDOW message), so the program runs
                               its normal close and exit path
"""
import sys
import time

from Xlib import X, display, protocol


def title_of(d, w):
    try:
        net = w.get_full_property(d.intern_atom("_NET_WM_NAME"), d.intern_atom("UTF8_STRING"))
        if net and net.value:
            v = net.value
            return v.decode("utf-8", "replace") if isinstance(v, bytes) else str(v)
        name = w.get_wm_name()
        return name if isinstance(name, str) else (name.decode("latin-1") if name else "")
    except Exception:
        return ""


def toplevels(d):
    out = []
    def walk(w, depth):
        try:
            children = w.query_tree().children
        except Exception:
            return
        for c in children:
            t = title_of(d, c)
            try:
                attrs = c.get_attributes()
                mapped = attrs.map_state == X.IsViewable
            except Exception:
                mapped = False
            if t and mapped:
                out.append((c, t))
            elif depth < 2:
                walk(c, depth + 1)
    walk(d.screen().root, 0)
    return out


def find(d, title):
    for w, t in toplevels(d):
        if t == title:
            return w
    return None


def main():
    d = display.Display()
    cmd = sys.argv[1] if len(sys.argv) > 1 else "list"
    if cmd == "list":
        for w, t in toplevels(d):
            g = w.get_geometry()
            print("0x%x %dx%d+%d+%d %s" % (w.id, g.width, g.height, g.x, g.y, t))
        return 0
    if cmd == "wait":
        title = sys.argv[2]
        limit = float(sys.argv[3]) if len(sys.argv) > 3 else 30
        end = time.time() + limit
        while time.time() < end:
            w = find(d, title)
            if w is not None:
                print("0x%x" % w.id)
                return 0
            time.sleep(0.2)
        print("no window titled %r" % title, file=sys.stderr)
        return 1
    if cmd == "close":
        w = find(d, sys.argv[2])
        if w is None:
            print("no window titled %r" % sys.argv[2], file=sys.stderr)
            return 1
        wm_protocols = d.intern_atom("WM_PROTOCOLS")
        wm_delete = d.intern_atom("WM_DELETE_WINDOW")
        ev = protocol.event.ClientMessage(window=w, client_type=wm_protocols,
                                          data=(32, [wm_delete, X.CurrentTime, 0, 0, 0]))
        w.send_event(ev, event_mask=X.NoEventMask)
        # A round trip, not a flush: a request merely flushed before exit is
        # sometimes lost with the connection (1 in 10 closes never arrived).
        d.sync()
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main())
