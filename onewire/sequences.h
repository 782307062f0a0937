// The chip command sequences: DS2430A memory and application register, the paged
// chips' memory, and the DS2406 status write.
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
void ds2430aWriteMemory(std::span<const uint8_t, 32> bytes);

// Paged chips (selected): n bytes from address 0, and n bytes in 8-byte rows.
void pagedReadMemory(std::span<uint8_t> into);
void pagedWriteMemory(std::span<const uint8_t> bytes);

// One DS2406 status-byte write, with its retries. true when a CRC checked.
bool ds2406WriteStatus(uint8_t value);

}  // namespace ferrun

#endif  // TEDSKIT_ONEWIRE_SEQUENCES_H
