// The analyzer's data sets as the engine and the applications see them: an
// object that takes its bytes piece by piece, knows when it is complete, hands
// them out again for sending, and saves or loads itself as a data-set file.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "buffer/data_set_file_format.h"

namespace commlib {

// The order of the virtual operations is fixed; never reorder or insert.
// A data set is used by one thread at a time (the protocol thread while a
// transfer runs, the application after the transfer's notification).
class DataSet {
public:
    virtual ~DataSet();               // 0
    virtual void Release();           // 1: deletes the object
    virtual bool IsComplete() const;  // 2
    // Stores n bytes at offset; returns the bytes still missing (0 or less when
    // nothing more fits). Offset 0 starts a new transfer (incomplete again).
    virtual int ReceiveAt(int offset, const void* src, int n);  // 3
    virtual void ResetReceive();                                // 4: receive position = 0
    virtual int Append(const void* src, int n);                 // 5: ReceiveAt(receive position, ...)
    // Copies at most *n bytes from offset; *n becomes the count copied;
    // returns the bytes left after this piece.
    virtual int ReadAt(int offset, void* dst, int* n);  // 6
    virtual void ResetSend();                           // 7: send position = 0
    virtual int ReadNext(void* dst, int* n);            // 8: ReadAt(send position, ...)
    virtual void* GetBody();                            // 9: null while incomplete
    virtual bool Save(const char* path);                // 10: only when complete
    virtual bool Load(const char* path);                // 11: complete when it loaded

    DataSet(const DataSet&) = delete;
    DataSet& operator=(const DataSet&) = delete;

    int ModelCode() const { return header_.model; }
    const DataSetHeader& Header() const { return header_; }
    int ReceivePosition() const { return receivePos_; }
    int SendPosition() const { return sendPos_; }

protected:
    // magic: 16 characters; bodyCapacity: bytes of the body buffer (zeroed).
    DataSet(const char* magic, int model, int bodyCapacity);

    // Copies a received piece into the first `limit` body bytes and moves the
    // receive position past it. Offset 0 clears the complete flag. A piece that
    // starts before 0 or beyond the receive position (it would leave a hole of
    // bytes never received) is not stored; the result says whether it was.
    bool StoreBytes(int limit, int offset, const void* src, int n);
    // The common receive rule for a body of `size` bytes (size <= capacity):
    // complete once the position reaches size; returns size - position.
    int StoreAt(int size, int offset, const void* src, int n);
    // The common send rule over the first `size` body bytes.
    int CopyOut(int size, int offset, void* dst, int* n);
    // Writes the header, the first `size` body bytes and `extra` into a new file.
    bool SaveParts(const char* path, int size, std::span<const std::uint8_t> extra = {}) const;
    // Opens path, checks the magic and reads at most `limit` body bytes into
    // `out`; false when the file cannot be read or the magic differs.
    bool LoadBody(const char* path, int limit, std::vector<std::uint8_t>& out) const;

    int receivePos_ = 0;
    int sendPos_ = 0;
    bool complete_ = false;
    DataSetHeader header_;
    std::vector<std::uint8_t> body_;
};

// Owners hold data sets through this pointer, which ends them with Release.
struct DataSetRelease {
    void operator()(DataSet* set) const {
        if (set) set->Release();
    }
};
template <class T>
using DataSetPtr = std::unique_ptr<T, DataSetRelease>;

}  // namespace commlib
