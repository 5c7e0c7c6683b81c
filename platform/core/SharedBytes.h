#pragma once

// Read-only bytes shared by several owners without copies: a part of a file
// read once can be kept by every object that needs a piece of it. A slice
// keeps the whole buffer alive; the bytes never change.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

class TSharedBytes {
public:
    TSharedBytes() = default;
    explicit TSharedBytes(std::string bytes);

    // The whole file mapped read-only (no copy: the pages come from the file
    // as they are read). Raises EFOpenError when it cannot be opened or is a
    // folder, EInOutError when it cannot be mapped. The file must not be
    // written while the bytes live; a running program's own file cannot be.
    static TSharedBytes MapFile(const std::string& fileName);

    std::string_view View() const { return FView; }
    std::size_t Size() const { return FView.size(); }
    bool Empty() const { return FView.empty(); }
    // Bytes [offset, offset + length) of these, clamped to their end.
    TSharedBytes Slice(std::size_t offset, std::size_t length = std::string_view::npos) const;
    // A slice for a view that lies within these bytes (else a copy of it).
    TSharedBytes SliceOf(std::string_view part) const;

private:
    std::shared_ptr<const void> FOwner;
    std::string_view FView;
};
