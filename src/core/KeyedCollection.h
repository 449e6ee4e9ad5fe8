#pragma once

#include <utility>

namespace trekora {

// Membership and replacement on keyed collections (QHash, QMap, std::map,
// std::unordered_map): the two helpers every keyed lookup of the program uses.

// True when the collection holds an item under `key`.
template <typename Collection, typename Key>
bool itemExists(const Collection& collection, const Key& key) {
    return collection.find(key) != collection.end();
}

// Removes the item under `key` if present, then stores `value` under `key`;
// returns the same collection so calls can be chained.
template <typename Collection, typename Value, typename Key>
Collection& SetCollectionItem(Collection& collection, Value&& value, const Key& key) {
    auto existing = collection.find(key);
    if (existing != collection.end())
        collection.erase(existing);
    collection[key] = std::forward<Value>(value);
    return collection;
}

} // namespace trekora
