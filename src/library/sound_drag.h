#pragma once

#include "sound_record.h"

#include <QByteArray>

#include <vector>

// Sounds dragged from another window (the sound catalogue) onto the library
// list: whole records, one after another, in the order they are to fill rows.

inline constexpr const char* SoundRecordsMimeType = "application/x-tonewright-sound-records";

QByteArray SoundRecordsData(const std::vector<TSoundRecord>& sounds);
// The records the data holds; none when its length is no whole number of records.
std::vector<TSoundRecord> SoundRecordsFromData(const QByteArray& data);

// Where `count` sounds go when they fill the rows from `firstRow` on: one row
// each, in order, as far as the library's `rowCount` rows reach.
std::vector<int> RowsFrom(int firstRow, std::size_t count, int rowCount);
