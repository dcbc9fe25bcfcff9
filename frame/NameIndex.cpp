#include "frame/NameIndex.h"

#include <algorithm>

namespace wrang {

void NameIndex::Add(const std::wstring& name, size_t index) {
    std::wstring folded;
    unsigned hash = kHashBasis;
    for (wchar_t c : name) {
        folded.push_back(platform::Upper(c));
        hash = HashStep(hash, folded.back());
    }
    auto same = [&](const Group& g) { return g.folded == folded; };
    auto group = std::find_if(m_groups.begin(), m_groups.end(), same);
    if (group == m_groups.end()) group = m_groups.insert(m_groups.end(), Group{folded, hash, {}});
    group->members.push_back(index);
}

void NameIndex::Seal() {
    // At most half full, so that a probe ends soon at an empty slot.
    size_t slots = 8;
    while (slots < 2 * m_groups.size()) slots *= 2;
    m_slots.assign(slots, -1);
    for (size_t g = 0; g < m_groups.size(); ++g) {
        size_t at = m_groups[g].hash & (slots - 1);
        while (m_slots[at] >= 0) at = (at + 1) & (slots - 1);
        m_slots[at] = static_cast<int>(g);
    }
}

}  // namespace wrang
