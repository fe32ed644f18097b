// The resources the program carries, by number: the Windows resource script,
// the toolkits that load them and the forms that name them agree here.
#pragma once

#define QVL_RES_PROGRAM_ICON 1   // the program's icon (16 and 32 pixels)
#define QVL_RES_ABOUT_PICTURE 2  // the about box's picture, an .ico kept as data

#ifndef RC_INVOKED
namespace qvl {
constexpr int kProgramIcon = QVL_RES_PROGRAM_ICON;
constexpr int kAboutPicture = QVL_RES_ABOUT_PICTURE;
}  // namespace qvl
#endif
