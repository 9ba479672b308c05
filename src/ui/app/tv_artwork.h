#pragma once
// The preview's and the mini player's pictures, drawn in code at the screen's pixel
// ratio so they stay sharp on high-density screens: the television set, the remote
// control and its keys, the player's face and its buttons.

#include <QPixmap>
#include <QString>

namespace tellavine::ui {

inline constexpr int kTelevisionWidth = 513;
inline constexpr int kTelevisionHeight = 425;
inline constexpr int kRemoteFaceWidth = 177;
inline constexpr int kRemoteFaceHeight = 408;

enum class RemoteKey { Start, Stop, PreviousMenu, NextMenu };
enum class PlayerKey { Play, Stop, Close };

// The television, its screen hole at (25, 23) 460 x 345 left dark for the picture.
QPixmap drawTelevision(qreal pixelRatio);
// The remote's body (the keys lie on it as separate buttons).
QPixmap drawRemoteFace(qreal pixelRatio);
// A number key's face, 33 x 29, and a transport key's face, 48 x 30.
QPixmap drawNumberKey(int number, qreal pixelRatio);
QPixmap drawRemoteKey(RemoteKey key, qreal pixelRatio);

inline constexpr int kPlayerWidth = 240;
inline constexpr int kPlayerHeight = 90;
QPixmap drawPlayerFace(qreal pixelRatio);
// 20 x 16 for Play and Stop, 7 x 7 for Close.
QPixmap drawPlayerKey(PlayerKey key, qreal pixelRatio);

}  // namespace tellavine::ui
