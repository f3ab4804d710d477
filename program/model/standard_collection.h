// The standard collection: an ordered list of owned items of one record class, 1-based for its
// users, persisted as a counted list (magic, 32-bit count, each item's record).
//
//     class CWaveFiles : public StandardCollection<CWaveFile, CWaveFiles> {};
//
// Items are held by shared pointer: Add keeps the object it is given (not a copy), and a caller
// that holds an item keeps it alive after Delete. Copying a collection (MeCopy, MeMove, the copy
// constructor) copies every item by its own MeCopy, so no two collections share an item.
// Item and Delete with an index outside 1..count throw std::out_of_range.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <type_traits>
#include <vector>

#include "model/record_stream.h"

namespace murtesk {

// Reads a counted list: the magic (a mismatch leaves the list unchanged), then the list is
// emptied, the count read (a file that ends inside it gives false) and the items read one by one
// with `read_item(file)`, which returns the new item or nullptr when it failed to read; the items
// read before a failure stay. A count of 0 or below is an empty list. Nothing is reserved for
// the count: a count larger than the file can hold fails at the first item that runs out of bytes.
template <class List, class ReadItem>
bool ReadCountedList(BinaryFile& file, List& list, ReadItem read_item) {
    if (!ReadMagic(file)) return false;
    list.AllDelete();
    std::int32_t count;
    if (!ReadField(file, count)) return false;
    for (std::int32_t i = 0; i < count; ++i) {
        // Every item record takes at least one byte.
        if (file.AtEnd()) return false;
        auto item = read_item(file);
        if (!item) return false;
        list.Add(std::move(item));
    }
    return true;
}

template <class T, class Self = void>
class StandardCollection {
public:
    using Item_type = T;
    using Collection = std::conditional_t<std::is_void_v<Self>, StandardCollection, Self>;

    StandardCollection() = default;
    StandardCollection(const StandardCollection& other) { other.CopyItemsInto(items_); }
    StandardCollection& operator=(const StandardCollection& other) {
        if (this != &other) {
            std::vector<std::shared_ptr<T>> copy;
            other.CopyItemsInto(copy);
            items_ = std::move(copy);
        }
        return *this;
    }
    StandardCollection(StandardCollection&&) noexcept = default;
    StandardCollection& operator=(StandardCollection&&) noexcept = default;

    // Appends the given object itself and returns it.
    std::shared_ptr<T> Add(std::shared_ptr<T> item) {
        if (!item) throw std::invalid_argument("StandardCollection::Add: no item");
        items_.push_back(item);
        return item;
    }
    // Appends a new item holding `value`.
    T& Add(T value) { return *Add(std::make_shared<T>(std::move(value))); }

    std::int32_t count() const { return static_cast<std::int32_t>(items_.size()); }

    // Removes item `Index` (1-based); the later ones move up.
    void Delete(std::int32_t Index) {
        CheckIndex(Index);
        items_.erase(items_.begin() + (Index - 1));
    }
    void AllDelete() { items_.clear(); }

    T& Item(std::int32_t Index) { return *ItemShared(Index); }
    const T& Item(std::int32_t Index) const { return *ItemShared(Index); }
    const std::shared_ptr<T>& ItemShared(std::int32_t Index) const {
        CheckIndex(Index);
        return items_[static_cast<std::size_t>(Index - 1)];
    }

    // Empties the target, then appends a copy of each item in order.
    void MeMove(Collection& target) const {
        if (static_cast<const void*>(&target) == static_cast<const void*>(this)) return;
        target.AllDelete();
        for (const auto& item : items_) target.Add(std::make_shared<T>(item->MeCopy()));
    }
    Collection MeCopy() const {
        Collection copy;
        MeMove(copy);
        return copy;
    }
    bool IsMeEqualTo(const StandardCollection& other) const {
        if (items_.size() != other.items_.size()) return false;
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (!other.items_[i]->IsMeEqualTo(*items_[i])) return false;
        }
        return true;
    }

    bool MeRead(BinaryFile& fileno) {
        return ReadCountedList(fileno, *this, [](BinaryFile& file) {
            auto item = std::make_shared<T>();
            return item->MeRead(file) ? item : nullptr;
        });
    }
    bool MeWrite(BinaryFile& fileno) const {
        if (!WriteMagic(fileno) || !WriteField(fileno, count())) return false;
        for (const auto& item : items_) {
            if (!item->MeWrite(fileno)) return false;
        }
        return true;
    }

    // Iteration in list order, for range-for over the items.
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    void CheckIndex(std::int32_t Index) const {
        if (Index < 1 || Index > count()) throw std::out_of_range("collection index outside 1..count");
    }
    void CopyItemsInto(std::vector<std::shared_ptr<T>>& target) const {
        target.reserve(items_.size());
        for (const auto& item : items_) target.push_back(std::make_shared<T>(item->MeCopy()));
    }

    std::vector<std::shared_ptr<T>> items_;
};

}  // namespace murtesk
