// The applications' one sentence for an NtfyStoreFailed report, so that the
// command and the window say the same: "No space left on device; blocks
// 00000000..00000001 are complete, 00000002 holds 561152 bytes".
//
// Errors: none; the text carries the system's reason (strerror).
// Threads: any.
#pragma once
#include <cstdio>
#include <cstring>
#include <string>

#include "commlib/remote.h"

inline std::string DescribeStoreFailure(const StoreFailure& f) {
    auto name = [](int number) {
        char text[16];
        std::snprintf(text, sizeof text, "%08d", number);
        return std::string(text);
    };
    std::string text = f.Operation == StoreOpInfo ? "datainfo.mkw: " : "";
    text += std::strerror(f.Error);
    if (f.LastComplete < f.FirstComplete) text += "; no block is complete";
    else if (f.LastComplete == f.FirstComplete) text += "; block " + name(f.FirstComplete) + " is complete";
    else text += "; blocks " + name(f.FirstComplete) + ".." + name(f.LastComplete) + " are complete";
    if (f.Operation == StoreOpInfo) return text;
    text += ", " + name(f.Block);
    return text + (f.BlockBytes < 0 ? " could not be created" : " holds " + std::to_string(f.BlockBytes) + " bytes");
}
