// Linked into every program and test of a sanitized build. Leaks that system libraries keep
// until the process ends are theirs, not ours, and would fail every run on that desktop.
extern "C" const char* __lsan_default_suppressions() {
    // libwayland-client keeps its proxies of a connection the toolkit never closes, and Qt's
    // D-Bus tray and menu support keep their objects for the process's life.
    return "leak:libwayland-client.so\n"
           "leak:libQt6DBus.so\n";
}
