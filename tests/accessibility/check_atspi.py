#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Drives Brisklo the way a screen reader does, through AT-SPI, and fails when a
control cannot be found or used by its name.

Run it with run_atspi_check.sh, which gives it an X server and a D-Bus session
of its own. It starts the program with a clip, an image and a file that cannot
be compressed, then finds by name and uses: the main window (a frame), the
quality slider, each row's check box and menu button, every item of both row
menus and every item of the tray menu. The tray menu is opened the way a panel
opens it: this script acts as the desktop's StatusNotifierWatcher, and asks the
program's StatusNotifierItem for its context menu. Last, with the tray gone and
dunst as the desktop's notification service, the end of a batch is told by a
notice whose default action brings the window back to the front.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import Gio, GLib

WATCHER_XML = """
<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
  </interface>
</node>
"""


class Failure(Exception):
    pass


class TrayHost:
    """The desktop's side of the StatusNotifierItem protocol: items register here."""

    def __init__(self):
        self.items = []
        self.bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
        info = Gio.DBusNodeInfo.new_for_xml(WATCHER_XML).interfaces[0]
        self.bus.register_object("/StatusNotifierWatcher", info, self._call, self._property,
                                 None)
        self.owner = Gio.bus_own_name_on_connection(self.bus, "org.kde.StatusNotifierWatcher",
                                                    Gio.BusNameOwnerFlags.NONE, None, None)
        pump(0.3)

    def leave(self):
        """The panel goes away: programs started from now on find no tray."""
        Gio.bus_unown_name(self.owner)
        pump(0.3)

    def _call(self, connection, sender, path, interface, method, params, invocation):
        if method == "RegisterStatusNotifierItem":
            service = params.unpack()[0]
            # An item may register by its object path; its bus name is the sender.
            self.items.append((sender, service if service.startswith("/") else
                               "/StatusNotifierItem"))
        invocation.return_value(None)

    def _property(self, connection, sender, path, interface, name):
        if name == "RegisteredStatusNotifierItems":
            return GLib.Variant("as", [item[0] for item in self.items])
        if name == "IsStatusNotifierHostRegistered":
            return GLib.Variant("b", True)
        return GLib.Variant("i", 0)

    def open_context_menu(self):
        if not self.items:
            raise Failure("the program registered no tray icon")
        sender, path = self.items[-1]
        self.bus.call_sync(sender, path, "org.kde.StatusNotifierItem", "ContextMenu",
                           GLib.Variant("(ii)", (200, 200)), None, Gio.DBusCallFlags.NONE,
                           5000, None)


def pump(seconds):
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.02)


def walk(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    try:
        count = node.childCount
    except Exception:
        return
    for index in range(count):
        try:
            child = node.getChildAtIndex(index)
        except Exception:
            continue
        yield from walk(child, depth + 1)


def role(node):
    return node.getRoleName()


def wait_for(what, probe, timeout=15.0):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        found = probe()
        if found:
            return found
        pump(0.15)
    raise Failure("not found: " + what)


def find_app(name, process=None):
    def probe():
        if process is not None and process.poll() is not None:
            raise Failure("the program ended at start with status %d" % process.returncode)
        desktop = pyatspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            app = desktop.getChildAtIndex(index)
            if app is not None and app.name == name:
                return app
        return None
    return wait_for("the application " + name, probe, 30.0)


def find(app, name, roles, what=None, prefix=False):
    def probe():
        app.clearCache()
        for node in walk(app):
            try:
                named = node.name.startswith(name) if prefix else node.name == name
                if named and role(node) in roles and \
                        node.getState().contains(pyatspi.STATE_SHOWING):
                    return node
            except Exception:
                continue
        return None
    return wait_for(what or "%s %r" % ("/".join(roles), name), probe)


def gone(app, name, roles):
    def probe():
        app.clearCache()
        for node in walk(app):
            try:
                if node.name == name and role(node) in roles and \
                        node.getState().contains(pyatspi.STATE_SHOWING):
                    return None
            except Exception:
                continue
        return True
    wait_for("%r to go" % name, probe)


def act(node, preferred=("Press", "press", "Toggle", "toggle", "click", "SetFocus")):
    action = node.queryAction()
    names = [action.getName(index) for index in range(action.nActions)]
    for wanted in preferred:
        if wanted in names:
            action.doAction(names.index(wanted))
            return
    if not names:
        raise Failure("%r offers no action" % node.name)
    action.doAction(0)


MENU_ROLES = ("menu", "popup menu")
ITEM_ROLES = ("menu item", "check menu item")
BUTTON_ROLES = ("push button", "button")


def use_menu_item(app, opener, item_name, log):
    opener()
    menu_item = find(app, item_name, ITEM_ROLES, "menu item %r" % item_name)
    parent = menu_item.parent
    if parent is None or role(parent) not in MENU_ROLES:
        raise Failure("%r is not in a menu" % item_name)
    act(menu_item)
    log.append("menu item %r used" % item_name)
    pump(0.4)


def confirm_box(app, log, expect_in_text=None):
    button = find(app, "确定", BUTTON_ROLES, "the box's confirm button")
    if expect_in_text:
        texts = []
        for node in walk(app):
            try:
                if role(node) == "label" and expect_in_text in node.name:
                    texts.append(node.name)
            except Exception:
                continue
        if not texts:
            raise Failure("no box text mentions %r" % expect_in_text)
        log.append("box: " + texts[0].replace("\n", " "))
    act(button)
    pump(0.3)


def above(window, other):
    """Whether window is stacked above other among the screen's top windows."""
    listing = subprocess.run(["xwininfo", "-root", "-children"], capture_output=True,
                             text=True).stdout
    ids = [int(word, 16) for word in listing.split() if word.startswith("0x")]
    # xwininfo lists the children from the top of the stack down.
    return window in ids and other in ids and ids.index(window) < ids.index(other)


def check_desktop_notice(program, env, tray, log):
    """Without a tray, the end of a batch is told through the desktop's notification
    service (dunst here); its default action brings the window to the front."""
    tray.leave()
    # The desktop's own tools run in the script's environment (the program's PATH
    # holds only the encoder).
    server = None
    owned = tray.bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus",
                               "org.freedesktop.DBus", "NameHasOwner",
                               GLib.Variant("(s)", ("org.freedesktop.Notifications",)), None,
                               Gio.DBusCallFlags.NONE, 5000, None).unpack()[0]
    if not owned:
        # (The bus may have started it already for an earlier notice.)
        server = subprocess.Popen([shutil.which("dunst")], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
    other = None
    clip = os.path.join(env["HOME"], "notice.mp4")
    subprocess.run(["ffmpeg", "-v", "error", "-f", "lavfi", "-i", "testsrc=size=64x48:rate=10",
                    "-t", "0.5", "-pix_fmt", "yuv420p", clip], check=True)
    process = subprocess.Popen([program, clip], env=env)
    try:
        app = find_app("Brisklo", process)
        frame = find(app, "BRK视频压缩", ("frame",), "the main window")
        find(app, "选择 notice.mp4", ("check box",))
        # Another program's window comes up over part of the main window.
        other = subprocess.Popen(["xlogo", "-geometry", "300x300+100+100"])
        # Someone looking elsewhere: the notice is for them.
        wait_for("another window to take the focus", lambda: subprocess.run(
            ["xdotool", "search", "--class", "xlogo", "windowfocus"]).returncode == 0)
        wait_for("the main window to lose the focus",
                 lambda: not frame.getState().contains(pyatspi.STATE_ACTIVE))
        # Only this batch's notice on the screen (the tray's earlier ones are closed).
        if owned:
            subprocess.run([shutil.which("dunstctl"), "close-all"], check=False)
        act(find(app, "全部压缩", BUTTON_ROLES))
        wait_for("the notice", lambda: subprocess.run(
            [shutil.which("dunstctl"), "count", "displayed"], capture_output=True,
            text=True).stdout.strip() not in ("", "0"), 60.0)
        log.append("end-of-batch notice shown by the notification service")
        main_window = int(subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--pid", str(process.pid), "--name", "BRK"],
            capture_output=True, text=True, check=True).stdout.split()[0])
        logo = int(subprocess.run(["xdotool", "search", "--class", "xlogo"], capture_output=True,
                                  text=True, check=True).stdout.split()[0])
        if above(main_window, logo):
            raise Failure("the other window should cover the main window before the click")
        subprocess.run([shutil.which("dunstctl"), "action", "0"], check=True)
        # Without a window manager X refuses to move the focus on a stale time
        # stamp; what shows is the window coming up over the other one.
        wait_for("the window to come to the front", lambda: above(main_window, logo))
        log.append("clicking the notice brought the window to the front")
    finally:
        process.kill()
        process.wait()
        if other:
            other.kill()
        if server:
            server.kill()


def main():
    program = sys.argv[1]
    log = []
    work = tempfile.mkdtemp(prefix="brisklo-atspi-")
    env = dict(os.environ)
    env.update({"HOME": work, "XDG_CONFIG_HOME": work + "/config", "XDG_DATA_HOME":
                work + "/data", "XDG_RUNTIME_DIR": work + "/run", "LANGUAGE": "zh_CN",
                "LANG": "zh_CN.UTF-8", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
                "QT_QPA_PLATFORM": "xcb",
                "QT_ACCESSIBILITY": "1"})
    os.makedirs(work + "/run", mode=0o700)
    # Only the encoder on the program's PATH: no xdg-open, so opening a folder or a
    # page must say that nothing could open it.
    os.makedirs(work + "/bin")
    os.symlink(shutil.which("ffmpeg"), work + "/bin/ffmpeg")
    env["PATH"] = work + "/bin"
    # The web service on a loopback port where nothing listens: the update check
    # fails at once, and never leaves the machine.
    os.makedirs(work + "/data/Brisklo/Config")
    with open(work + "/data/Brisklo/Config/configure.ini", "w") as settings:
        settings.write("[global]\nservice-url=https://127.0.0.1:9\n")
    clip = os.path.join(work, "clip.mp4")
    subprocess.run(["ffmpeg", "-v", "error", "-f", "lavfi", "-i", "testsrc=size=64x48:rate=10",
                    "-t", "0.5", "-pix_fmt", "yuv420p", clip], check=True)
    picture = os.path.join(work, "photo.bmp")
    with open(picture, "wb") as out:
        # A 2x2 24-bit BMP.
        row = bytes([0, 0, 255, 0, 255, 0, 0, 0])
        pixels = row * 2
        header = b"BM" + (54 + len(pixels)).to_bytes(4, "little") + b"\0\0\0\0" + \
            (54).to_bytes(4, "little")
        info = (40).to_bytes(4, "little") + (2).to_bytes(4, "little") + \
            (2).to_bytes(4, "little") + (1).to_bytes(2, "little") + \
            (24).to_bytes(2, "little") + bytes(24)
        out.write(header + info + pixels)

    tray = TrayHost()
    process = subprocess.Popen([program, clip, picture], env=env)
    try:
        app = find_app("Brisklo", process)
        frame = find(app, "BRK视频压缩", ("frame",), "the main window as a frame")
        log.append("main window: role %s, name %r" % (role(frame), frame.name))

        slider = find(app, "压缩强度", ("slider",))
        value = slider.queryValue()
        value.currentValue = 20
        pump(0.3)
        if int(value.currentValue) != 20:
            raise Failure("the slider did not take the value 20")
        log.append("slider '压缩强度' set to 20")

        check = find(app, "选择 clip.mp4", ("check box",))
        before = check.getState().contains(pyatspi.STATE_CHECKED)
        act(check)
        pump(0.3)
        if check.getState().contains(pyatspi.STATE_CHECKED) == before:
            raise Failure("the row's check box did not toggle")
        act(check)
        log.append("check box '选择 clip.mp4' toggled twice")

        def video_menu():
            act(find(app, "clip.mp4 的更多操作", BUTTON_ROLES))
        log.append("button 'clip.mp4 的更多操作' found")

        use_menu_item(app, video_menu, "打开输出文件夹", log)
        confirm_box(app, log, "xdg-open")
        use_menu_item(app, video_menu, "参数设置", log)
        find(app, "参数设置", ("dialog", "frame"), "the parameter dialog")
        act(find(app, "保存", BUTTON_ROLES, "the parameter dialog's save button"))
        gone(app, "参数设置", ("dialog", "frame"))
        use_menu_item(app, video_menu, "重新压缩", log)
        wait_for("the clip to finish", lambda: any(
            node.name == "压缩完成" for node in walk(app)), 60.0)
        use_menu_item(app, video_menu, "在文件夹中显示", log)
        confirm_box(app, log, "xdg-open")
        use_menu_item(app, video_menu, "删除", log)
        gone(app, "选择 clip.mp4", ("check box",))
        log.append("the clip's row is gone")

        # The tab's name carries the count of its rows: "图片压缩 (1)".
        act(find(app, "图片压缩", BUTTON_ROLES + ("radio button", "toggle button"), "the image tab",
                 prefix=True))
        find(app, "选择 photo.bmp", ("check box",))

        def image_menu():
            act(find(app, "photo.bmp 的更多操作", BUTTON_ROLES))
        log.append("check box '选择 photo.bmp' and button 'photo.bmp 的更多操作' found")
        use_menu_item(app, image_menu, "打开输出文件夹", log)
        confirm_box(app, log, "xdg-open")
        use_menu_item(app, image_menu, "重新压缩", log)
        wait_for("the image to finish", lambda: any(
            node.name == "压缩完成" for node in walk(app)), 60.0)
        use_menu_item(app, image_menu, "在文件夹中显示", log)
        confirm_box(app, log, "xdg-open")
        use_menu_item(app, image_menu, "删除", log)
        gone(app, "选择 photo.bmp", ("check box",))

        tray_items = ["显示主界面", "系统设置", "意见反馈", "检查更新", "帮助", "退出"]
        for item in tray_items:
            tray.open_context_menu()
            menu_item = find(app, item, ITEM_ROLES, "tray menu item %r" % item)
            if role(menu_item.parent) not in MENU_ROLES:
                raise Failure("tray item %r is not in a menu" % item)
            log.append("tray item %r found" % item)
            if item == "显示主界面":
                act(menu_item)
                log.append("tray item %r used" % item)
            elif item == "系统设置":
                act(menu_item)
                find(app, "系统设置", ("dialog", "frame"), "the settings dialog")
                act(find(app, "其他设置", BUTTON_ROLES + ("radio button", "toggle button")))
                for name in ("压缩后不比原文件小时保留原文件", "添加文件夹时包含子文件夹"):
                    switch = find(app, name, ("check box",))
                    before = switch.getState().contains(pyatspi.STATE_CHECKED)
                    act(switch)
                    pump(0.3)
                    if switch.getState().contains(pyatspi.STATE_CHECKED) == before:
                        raise Failure("the settings switch %r did not toggle" % name)
                    act(switch)
                    log.append("settings switch %r toggled twice" % name)
                subprocess.run(["xdotool", "key", "Escape"], check=False)
                gone(app, "系统设置", ("dialog", "frame"))
                log.append("tray item %r used" % item)
            elif item == "帮助":
                act(menu_item)
                confirm_box(app, log, "xdg-open")
                log.append("tray item %r used" % item)
            elif item == "退出":
                act(menu_item)
                process.wait(timeout=15)
                log.append("tray item %r used: the program ended" % item)
            elif item == "意见反馈":
                act(menu_item)
                find(app, "意见反馈", ("dialog", "frame"), "the feedback dialog")
                subprocess.run(["xdotool", "key", "Escape"], check=False)
                gone(app, "意见反馈", ("dialog", "frame"))
                log.append("tray item %r used" % item)
            elif item == "检查更新":
                # Asked for, a failed check says so (the one at start-up said nothing).
                act(menu_item)
                confirm_box(app, log, "检查更新失败")
                log.append("tray item %r used" % item)
        if shutil.which("dunst") and shutil.which("xlogo"):
            check_desktop_notice(program, env, tray, log)
        else:
            log.append("desktop notice not checked: needs dunst and xlogo (x11-apps)")
    except Failure as failure:
        print("\n".join(log))
        print("FAILED:", failure)
        return 1
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()
    print("\n".join(log))
    print("all found and used by name")
    return 0


if __name__ == "__main__":
    sys.exit(main())
