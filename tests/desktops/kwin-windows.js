// KWin's own account of its windows, for the tests: one line each, between
// the lines that the test's mark (in place of MARK) begins.
print("MARK begin");
var clients = workspace.clientList();
for (var i = 0; i < clients.length; i++) {
  var c = clients[i], frame = c.frameGeometry;
  print("MARK " + JSON.stringify({
    title: c.caption, app_id: c.desktopFileName, window_class: c.resourceClass, pid: c.pid,
    x: frame.x, y: frame.y, width: frame.width, height: frame.height,
    focused: c.active, can_maximize: c.maximizable, decorated: !c.noBorder, icon: String(c.icon)
  }));
}
print("MARK end");
