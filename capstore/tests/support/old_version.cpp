// A library of the right shape but an older version, for the start-up check.
extern "C" __attribute__((visibility("default"))) int MKGetDllVersion() { return 0x0100000B; }
