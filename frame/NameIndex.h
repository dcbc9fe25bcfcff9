// The members of an interface by name, for GetIDsOfNames. A script asks for a name before nearly
// every call, so the lookup is one hash and one comparison, not a walk over every member.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/CaseFolding.h"

namespace wrang {

class NameIndex {
public:
    // The members that share one name (the accessors of a property), found by the name folded to
    // upper case.
    struct Group {
        std::wstring folded;  // the name in upper case (the runtime's folding)
        unsigned hash = 0;
        std::vector<size_t> members;  // indices given to Add, in the order they were added
    };

    // Adds member `index` under `name`. May throw std::bad_alloc.
    void Add(const std::wstring& name, size_t index);
    // Makes the table that Find probes; after the last Add. May throw std::bad_alloc.
    void Seal();

    // The group named `name`, when `name` is ASCII; nullptr when no member has it. `ascii` is false
    // for a name with other characters, which the caller compares member by member (SameName).
    const Group* Find(const wchar_t* name, bool* ascii) const noexcept {
        unsigned hash = kHashBasis;
        size_t length = 0;
        for (; name[length]; ++length) {
            if (name[length] >= 0x80) {
                *ascii = false;
                return nullptr;
            }
            hash = HashStep(hash, platform::UpperAscii(name[length]));
        }
        *ascii = true;
        if (m_slots.empty()) return nullptr;
        const size_t mask = m_slots.size() - 1;
        for (size_t at = hash & mask; m_slots[at] >= 0; at = (at + 1) & mask) {
            const Group& group = m_groups[static_cast<size_t>(m_slots[at])];
            if (group.hash != hash || group.folded.size() != length) continue;
            size_t i = 0;
            while (i < length && group.folded[i] == platform::UpperAscii(name[i])) ++i;
            if (i == length) return &group;
        }
        return nullptr;
    }

    // Whether two names are the same under the runtime's folding of every character.
    static bool SameName(const std::wstring& a, const wchar_t* b) noexcept {
        size_t i = 0;
        for (; i < a.size() && b[i]; ++i) {
            if (platform::Upper(a[i]) != platform::Upper(b[i])) return false;
        }
        return i == a.size() && b[i] == 0;
    }

private:
    // FNV-1a over the folded code units.
    static constexpr unsigned kHashBasis = 2166136261u;
    static constexpr unsigned kHashPrime = 16777619u;
    static unsigned HashStep(unsigned hash, wchar_t folded) noexcept {
        return (hash ^ static_cast<unsigned>(folded)) * kHashPrime;
    }

    std::vector<Group> m_groups;
    std::vector<int> m_slots;  // open addressing: index into m_groups, -1 for an empty slot
};

}  // namespace wrang
