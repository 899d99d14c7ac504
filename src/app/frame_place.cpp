// Default and remembered places of the secondary frames.
#include "app/frame_place.h"

namespace zorvane {

wxPoint placePosition(const WindowPlace& place) {
    return place.width > 0 ? wxPoint(place.left, place.top) : wxDefaultPosition;
}

wxSize placeSize(const WindowPlace& place) {
    return place.width > 0 && place.height > 0 ? wxSize(place.width, place.height)
                                               : wxSize(640, 480);
}

}  // namespace zorvane
