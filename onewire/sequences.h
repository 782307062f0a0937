// The chip command sequences: DS2430A memory and application register, the paged
// chips' memory, and the DS2406 status write. Writes go through the chip's scratchpad,
// which is read back and checked before every copy; a copy is made only from a
// scratchpad that holds exactly what was sent.
#ifndef TEDSKIT_ONEWIRE_SEQUENCES_H
#define TEDSKIT_ONEWIRE_SEQUENCES_H

#include <cstdint>
#include <span>

namespace ferrun {

// DS2430A, addressed with Skip ROM (the memory write excepted: the caller selects).
void ds2430aReadMemory(std::span<uint8_t, 32> into);
void ds2430aReadRegister(std::span<uint8_t, 8> into);
// Stores 0 (not locked) or 1 (locked) for the two status values; leaves it otherwise.
void ds2430aReadLock(int32_t& locked);
void ds2430aWriteRegister(std::span<const uint8_t, 8> reg);
void ds2430aCopyAndLockRegister();
// false when the scratchpad never held the bytes, so that nothing was copied.
bool ds2430aWriteMemory(std::span<const uint8_t, 32> bytes);

// Paged chips (selected): n bytes from address 0; n bytes written unit by unit (8-byte
// rows of the DS2431, 32-byte pages of the DS2433 and DS28EC20), each unit tried again
// when its scratchpad or copy fails. false when a unit failed every try: the units
// before it hold the new bytes, the ones from it on the old.
void pagedReadMemory(std::span<uint8_t> into);
bool pagedWriteMemory(uint8_t family, std::span<const uint8_t> bytes);

// One DS2406 status-byte write, with its retries. true when a CRC checked.
bool ds2406WriteStatus(uint8_t value);

}  // namespace ferrun

#endif  // TEDSKIT_ONEWIRE_SEQUENCES_H
