// The program's icon and the about box's picture, from the same .ico files
// as the Windows programs, built from the text drawings and linked in.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace qvl {

QIcon ProgramIcon();
// The picture of a picture box by its number, at `size` logical pixels.
QPixmap Picture(int id, int size);

}  // namespace qvl
