// What the data argument of each notification is, for the programs'
// callbacks: a number, or a pointer into the library's storage that is valid
// only while the callback runs and whose bytes the callback copies; and which
// notifications are gauges, of which only the newest value counts. The copy
// is platform's Notification, posted to a NotifyMailbox (platform/notify_mailbox.h).
//
// Errors: none; the functions are pure. Threads: any.
#pragma once
#include <cstddef>
#include <cstring>

#include "commlib/remote.h"
#include "platform/notify_mailbox.h"

// The notifications whose data points into the library's storage.
struct NotificationPointer {
    int code;
    int status;  // the data is a pointer only with this status; AnyStatus: with every status
    std::size_t size;
};
inline constexpr int AnyStatus = -0x10000;
inline constexpr NotificationPointer NotificationPointers[] = {
    {ReqGetStopReason, StatusDone, sizeof(int)},  // the reason
    {NtfyBlocks, AnyStatus, 3 * sizeof(int)},     // first, next, count
    {NtfyStoreFailed, AnyStatus, sizeof(StoreFailure)},
};
static_assert(sizeof(StoreFailure) <= platform::NotificationBytesMax);

// The gauges: a newer one says all an older unread one said.
inline constexpr int GaugeNotifications[] = {NtfyBlockFill, NtfyRate, NtfyBlocks, NtfyLost};

// How many bytes the data of this notification points to; 0: the data is a number.
constexpr std::size_t NotificationDataSize(int code, int status) {
    for (const NotificationPointer& p : NotificationPointers)
        if (p.code == code && (p.status == AnyStatus || p.status == status)) return p.size;
    return 0;
}

constexpr bool IsGaugeNotification(int code) {
    for (int gauge : GaugeNotifications)
        if (gauge == code) return true;
    return false;
}

// The callback's copy of one notification, to post.
inline platform::Notification CopyNotification(int code, int status, const void* data) {
    return platform::copyNotification(code, status, data, NotificationDataSize(code, status),
                                      IsGaugeNotification(code));
}

// The reason a ReqGetStopReason notification carried, or -1 when it carried none
// (refused, not answered, or the report of a port that failed to open).
inline int StopReasonOf(const platform::Notification& n) {
    int reason = -1;
    if (n.size == sizeof reason) std::memcpy(&reason, n.bytes.data(), sizeof reason);
    return reason;
}
