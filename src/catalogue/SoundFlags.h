#pragma once

#include <cstdint>
#include <initializer_list>

namespace tintra {

// How the player treats a catalogue row: an option set over 32 bits.
struct TintraSoundFlags {
    std::uint32_t rawValue = 0;

    constexpr TintraSoundFlags() = default;
    constexpr explicit TintraSoundFlags(std::uint32_t raw) : rawValue(raw) {}
    constexpr TintraSoundFlags(std::initializer_list<TintraSoundFlags> members)
    {
        for (auto member : members)
            rawValue |= member.rawValue;
    }

    static const TintraSoundFlags looping;
    static const TintraSoundFlags centered;
    static const TintraSoundFlags singleInstance;
    static const TintraSoundFlags persistsOverOthers;

    constexpr bool isEmpty() const { return rawValue == 0; }
    constexpr bool contains(TintraSoundFlags member) const { return (rawValue & member.rawValue) == member.rawValue; }
    constexpr bool isSubset(TintraSoundFlags of) const { return (rawValue & ~of.rawValue) == 0; }
    constexpr bool isSuperset(TintraSoundFlags of) const { return of.isSubset(*this); }
    constexpr bool isDisjoint(TintraSoundFlags with) const { return (rawValue & with.rawValue) == 0; }

    constexpr TintraSoundFlags unionWith(TintraSoundFlags other) const { return TintraSoundFlags(rawValue | other.rawValue); }
    constexpr TintraSoundFlags intersection(TintraSoundFlags other) const { return TintraSoundFlags(rawValue & other.rawValue); }
    constexpr TintraSoundFlags symmetricDifference(TintraSoundFlags other) const { return TintraSoundFlags(rawValue ^ other.rawValue); }
    constexpr TintraSoundFlags subtracting(TintraSoundFlags other) const { return TintraSoundFlags(rawValue & ~other.rawValue); }

    // Each returns whether the set changed.
    constexpr bool insert(TintraSoundFlags member)
    {
        const bool added = !contains(member);
        rawValue |= member.rawValue;
        return added;
    }
    constexpr bool remove(TintraSoundFlags member)
    {
        const bool removed = (rawValue & member.rawValue) != 0;
        rawValue &= ~member.rawValue;
        return removed;
    }
    constexpr void formUnion(TintraSoundFlags other) { rawValue |= other.rawValue; }
    constexpr void formIntersection(TintraSoundFlags other) { rawValue &= other.rawValue; }
    constexpr void formSymmetricDifference(TintraSoundFlags other) { rawValue ^= other.rawValue; }

    friend constexpr bool operator==(TintraSoundFlags, TintraSoundFlags) = default;
};

inline constexpr TintraSoundFlags TintraSoundFlags::looping { 0x2u };
inline constexpr TintraSoundFlags TintraSoundFlags::centered { 0x4u };
inline constexpr TintraSoundFlags TintraSoundFlags::singleInstance { 0x8u };
inline constexpr TintraSoundFlags TintraSoundFlags::persistsOverOthers { 0x10u };

} // namespace tintra
