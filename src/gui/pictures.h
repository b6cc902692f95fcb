// The program's own pictures, drawn at run time: the seven 16 x 16 images of
// the ROM tree, the window icons and the About box's picture.
#pragma once

#include <QIcon>
#include <QPixmap>

// A tree image by its id (gui_id::IMAGE_*); a null pixmap for other ids.
QPixmap treeImage(int id);
// The main window's icon (large 107 and small 129).
QIcon programIcon();
// The output window's icon (large 164 and small 161).
QIcon outputWindowIcon();
// The About box's picture (138).
QPixmap aboutPicture();
