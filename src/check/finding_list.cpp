#include "check/finding_list.h"

#include <algorithm>

#include "check/check_words.h"
#include "platform/string_util.h"

namespace zorvane {

std::array<const char*, FindingColumnCount> findingHeadings(ListingLanguage language) {
    static const std::array<const char*, FindingColumnCount> headings = {"重要度", "種類", "場所",
                                                                        "内容"};
    std::array<const char*, FindingColumnCount> shown = headings;
    for (const char*& heading : shown) heading = checkSay(heading, language);
    return shown;
}

void FindingList::assign(const std::vector<Finding>& findings, ListingLanguage language) {
    rows_.clear();
    sortColumn_ = -1;
    descending_ = false;
    for (const Finding& f : findings) {
        std::string where = placeText(f.place, language);
        std::string message = f.subject + checkSay("：", language) + f.message;
        if (f.bytes)
            message += format(checkSay("（%sバイト）", language), std::to_string(f.bytes).c_str());
        rows_.push_back({f, {severityName(f.severity, language),
                             checkKindInfo(f.kind).shown(language), where, message}});
    }
}

void FindingList::sortByColumn(int column) {
    if (column < 0 || column >= FindingColumnCount) return;
    descending_ = column == sortColumn_ ? !descending_ : false;
    sortColumn_ = column;
    auto key = [column](const Row& r) {
        if (column == FindingSeverity) return std::to_string(static_cast<int>(r.finding.severity));
        if (column == FindingKind) return std::to_string(static_cast<int>(r.finding.kind));
        return r.cells[static_cast<size_t>(column)];
    };
    bool down = descending_;
    std::stable_sort(rows_.begin(), rows_.end(), [&](const Row& a, const Row& b) {
        return down ? key(b) < key(a) : key(a) < key(b);
    });
}

ViewerTarget FindingList::targetOf(size_t row) const {
    ViewerTarget target;
    if (row >= rows_.size()) return target;
    const FindingPlace& p = rows_[row].finding.place;
    switch (p.area) {
        case FindingPlace::CommonEvent: target.kind = ViewerTarget::CommonEvent; break;
        case FindingPlace::Troop: target.kind = ViewerTarget::Troop; break;
        case FindingPlace::MapEvent: target.kind = ViewerTarget::MapEvent; break;
        default: return target;
    }
    target.item = p.ownerId;
    target.mapId = p.mapId;
    target.page = p.page;
    target.line = p.line;
    return target;
}

bool FindingList::saveCsv(const std::string& path, CsvEncoding encoding, size_t* lost) const {
    if (rows_.empty()) return false;
    CsvWriter writer(path, encoding);
    if (!writer.isOpen()) return false;
    for (const Row& row : rows_)
        writer.writeRow(std::vector<std::string>(row.cells.begin(), row.cells.end()));
    if (lost) *lost = writer.lostCharacters();
    return writer.commit();
}

}  // namespace zorvane
