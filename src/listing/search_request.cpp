#include "listing/search_request.h"

#include <algorithm>

namespace zorvane {

bool matchesOneId(const SearchRequest& request, int id) {
    if (request.andMode) return request.targetIds.size() == 1 && *request.targetIds.begin() == id;
    return request.targetIds.count(id) > 0;
}

bool matchesRange(const SearchRequest& request, int first, int last) {
    int lo = std::min(first, last), hi = std::max(first, last);
    auto it = request.targetIds.lower_bound(lo);
    return it != request.targetIds.end() && *it <= hi;
}

}  // namespace zorvane
