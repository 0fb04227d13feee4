#include "sound_drag.h"

#include <algorithm>
#include <cstring>

QByteArray SoundRecordsData(const std::vector<TSoundRecord>& sounds) {
    QByteArray data;
    data.reserve(static_cast<qsizetype>(sounds.size() * TSoundRecord::Size));
    for (const TSoundRecord& sound : sounds)
        data.append(reinterpret_cast<const char*>(sound.Bytes.data()), TSoundRecord::Size);
    return data;
}

std::vector<TSoundRecord> SoundRecordsFromData(const QByteArray& data) {
    if (data.size() % TSoundRecord::Size != 0)
        return {};
    std::vector<TSoundRecord> sounds(static_cast<std::size_t>(data.size() / TSoundRecord::Size));
    for (std::size_t i = 0; i < sounds.size(); ++i)
        std::memcpy(sounds[i].Bytes.data(), data.constData() + i * TSoundRecord::Size,
                    TSoundRecord::Size);
    return sounds;
}

std::vector<int> RowsFrom(int firstRow, std::size_t count, int rowCount) {
    std::vector<int> rows;
    for (int row = std::max(firstRow, 0); row < rowCount && rows.size() < count; ++row)
        rows.push_back(row);
    return rows;
}
