#pragma once

// The bases of a GIF picture's blocks: an item knows the picture it belongs
// to; a list owns its items. Warnings of both go to the picture with the item
// or list as sender.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/ClassRegistry.h"
#include "platform/core/Exceptions.h"

class TStream;
class TGIFImage;

// Passes a warning to the picture's Warning when there is a picture.
void GIFWarning(TGIFImage* image, TObject* sender, int severity, const std::string& message);

class TGIFItem : public TObject {
public:
    explicit TGIFItem(TGIFImage* image) : FImage(image) {}
    TGIFItem(const TGIFItem&) = delete;
    TGIFItem& operator=(const TGIFItem&) = delete;

    TGIFImage* Image() const { return FImage; }

    // 1 for "87a", 2 for "89a".
    virtual int GetVersion() const { return 1; }
    virtual void Warning(int severity, const std::string& message);
    virtual void SaveToStream(TStream& stream) = 0;
    virtual void LoadFromStream(TStream& stream) = 0;
    void SaveToFile(const std::string& fileName);
    void LoadFromFile(const std::string& fileName);

protected:
    TGIFImage* FImage;
};

template <class Item>
class TGIFList : public TObject {
public:
    explicit TGIFList(TGIFImage* image) : FImage(image) {}
    ~TGIFList() override { Clear(); }
    TGIFList(const TGIFList&) = delete;
    TGIFList& operator=(const TGIFList&) = delete;

    TGIFImage* Image() const { return FImage; }
    int Count() const { return static_cast<int>(FItems.size()); }
    Item* Items(int index) const
    {
        if (index < 0 || index >= Count())
            throw EListError("List index out of bounds (" + std::to_string(index) + ")");
        return FItems[static_cast<std::size_t>(index)].get();
    }
    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

    int Add(std::unique_ptr<Item> item)
    {
        FItems.push_back(std::move(item));
        return Count() - 1;
    }
    // Takes the item out first, so that its destructor sees a list without it.
    void Delete(int index)
    {
        Items(index);
        std::unique_ptr<Item> item = std::move(FItems[static_cast<std::size_t>(index)]);
        FItems.erase(FItems.begin() + index);
    }
    void Clear()
    {
        while (!FItems.empty())
            Delete(0);
    }
    // Takes the item out without freeing it; nullptr when it is not listed.
    std::unique_ptr<Item> Remove(Item* item)
    {
        auto it = std::find_if(FItems.begin(), FItems.end(), [item](const auto& p) { return p.get() == item; });
        if (it == FItems.end())
            return nullptr;
        std::unique_ptr<Item> owned = std::move(*it);
        FItems.erase(it);
        return owned;
    }

    void Warning(int severity, const std::string& message) { GIFWarning(FImage, this, severity, message); }
    void SaveToStream(TStream& stream) const
    {
        for (const auto& item : FItems)
            item->SaveToStream(stream);
    }

protected:
    TGIFImage* FImage;
    std::vector<std::unique_ptr<Item>> FItems;
};
