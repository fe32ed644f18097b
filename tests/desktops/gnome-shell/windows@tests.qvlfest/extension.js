// The compositor's own account of its windows, front last, for the tests:
// where each is, what it is called, what it offers.
const { Gio, Shell } = imports.gi;

const IFACE = `<node><interface name="org.qvlfest.Tests.Windows">
  <method name="List"><arg type="s" direction="out"/></method>
</interface></node>`;

class Extension {
  enable() {
    this._object = Gio.DBusExportedObject.wrapJSObject(IFACE, this);
    this._object.export(Gio.DBus.session, '/org/qvlfest/Tests/Windows');
  }

  disable() {
    this._object.unexport();
  }

  List() {
    const tracker = Shell.WindowTracker.get_default();
    const windows = global.get_window_actors().map(actor => actor.meta_window);
    return JSON.stringify(global.display.sort_windows_by_stacking(windows).map(w => {
      const frame = w.get_frame_rect();
      const app = tracker.get_window_app(w);
      return {
        title: w.get_title(),
        app_id: w.get_wm_class(),
        desktop_file: app ? app.get_id() : null,
        x: frame.x, y: frame.y, width: frame.width, height: frame.height,
        focused: w.has_focus(),
        can_maximize: w.can_maximize(),
        decorated: w.decorated,
      };
    }));
  }
}

function init() {
  return new Extension();
}
