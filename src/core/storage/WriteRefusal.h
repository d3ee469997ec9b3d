#pragma once

#include "core/storage/FileIo.h"

namespace sorabel {

// A write that was not started because the caller must decide first: the
// folder or the file has gone (a removed folder, an unmounted disk), or only
// an unguarded rewrite in place is possible. what() is the message to show.
class WriteRefusal : public IoError {
public:
    enum class Reason {
        FolderMissing,     // "フォルダーが見つかりません": never created silently
        FileMissing,       // a file that was there when it was read has gone
        FolderNotWritable, // the file may be written, its folder not: no backup, no temporary file
    };

    explicit WriteRefusal(Reason reason) : IoError(messageFor(reason)), reason_(reason) {}
    Reason reason() const { return reason_; }

    static const char* messageFor(Reason reason) {
        switch (reason) {
        case Reason::FolderMissing:
            return io_messages::kFolderMissing;
        case Reason::FileMissing:
            return io_messages::kFileNotFound;
        case Reason::FolderNotWritable:
            return io_messages::kNoBackupPossible;
        }
        return io_messages::kFolderMissing;
    }

private:
    Reason reason_;
};

} // namespace sorabel
