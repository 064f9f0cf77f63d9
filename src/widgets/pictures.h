#pragma once

// The program's pictures (the resources :/pictures/<id>.pix), stored already decoded: showing
// one runs no image decoder, so Qt loads none of its image-format plug-ins before the first
// window appears.

#include <QIcon>
#include <QPixmap>

namespace widgets {

// Picture `id` at single density; a null pixmap when there is no such picture.
QPixmap picture(int id);

// Picture `id` as an icon, with its double-density form on a screen that has use for it.
QIcon pictureIcon(int id);

} // namespace widgets
