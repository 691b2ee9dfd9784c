// A finder that finds no room, for builds without the room finder.
#include "vision/room_finder.h"

namespace v2d::vision {

Result<RoomLayout> FindRoom(const PhotoAnalysis&, const RoomRequest&, const CancelToken&) {
    return Error{kMsgNoRoomFound};
}

}  // namespace v2d::vision
