#pragma once

#include <QString>

#include <memory>
#include <vector>

namespace lentaro {

// One marked position of the loop maker, as the position display showed it.
struct loopPoint {
    QString Key;             // the position in ms, at least seven digits
    QString startTimeMs;     // the position in ms of the device that played
    QString startTimeTTMMSS; // the position text shown when it was marked
};

// The positions marked so far, in the order they were marked, counted from 1; an entry may also
// be found by the key it was added under. Records are shared: a field changed on the record Add
// returned shows through Item. A failing call reports its error through its trap and returns
// no record.
class loopPoints
{
public:
    using Record = std::shared_ptr<loopPoint>;

    void Clear();
    Record Add(const QString& Key, const QString& startTimeMs, const QString& startTimeTTMMSS,
               const QString& sKey = QString());
    Record Item(int index) const;
    Record Item(const QString& key) const;
    int Count() const;
    void Remove(int index);
    void Remove(const QString& key);

    // The records in order, for range-for.
    auto begin() const { return records_.begin(); }
    auto end() const { return records_.end(); }

private:
    std::size_t positionOf(int index) const;
    std::size_t positionOf(const QString& key) const;
    void erase(std::size_t position);

    std::vector<Record> records_;
    std::vector<QString> keys_; // beside records_, empty where no key was given
};

} // namespace lentaro
