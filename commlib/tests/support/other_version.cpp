// A second library with its own MKGetDllVersion, loaded beside libcommlib.so
// in the export tests to show that each answers with its own version.
extern "C" __attribute__((visibility("default"))) int MKGetDllVersion() { return 0x0100000C; }
