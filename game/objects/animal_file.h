#pragma once
// The animals' and hives' part of the saved garden ("level.dat"): after
// the plants, four counted groups (a 32-bit count, then the records) of
// ostriches, peacocks, goats and hives, in registry order. Animals keep
// their cell only; a hive keeps its honey, capacity and full timer, and
// gets a new bee when loaded.
#include <cstdint>

class cLevel;
namespace vek {
class cBitStream;
}

// Writes the four groups.
void SaveAnimalGroups(cLevel& level, vek::cBitStream& stream);
// Reads the four groups onto the field (normally right after Reset and the
// plants). A count is read as signed (a negative one reads nothing) and
// kept to 80; a group stops where the stream ends. An animal whose cell is
// outside the grid starts on its spawn cell; a hive whose cell is outside
// the grid is dropped. False, with one warning, when the groups were
// damaged (the records read before the damage stay on the field).
bool LoadAnimalGroups(cLevel& level, vek::cBitStream& stream);

// One loaded hive: made, read, put on the field with its cells blocked
// and its bee made. 0, with nothing left on the field, when its cell is
// outside the grid or its record ran short.
uint32_t LoadHive(cLevel& level, vek::cBitStream& stream);
