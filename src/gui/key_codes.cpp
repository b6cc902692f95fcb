#include "gui/key_codes.h"

#include <Qt>

uint8_t hidUsageOfQtKey(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return uint8_t(0x04 + (key - Qt::Key_A));
    if (key >= Qt::Key_1 && key <= Qt::Key_9) return uint8_t(0x1E + (key - Qt::Key_1));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return uint8_t(0x3A + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_0:
        return 0x27;
    case Qt::Key_Return:
        return 0x28;
    case Qt::Key_Escape:
        return 0x29;
    case Qt::Key_Backspace:
        return 0x2A;
    case Qt::Key_Tab:
        return 0x2B;
    case Qt::Key_Space:
        return 0x2C;
    case Qt::Key_Minus:
        return 0x2D;
    case Qt::Key_Equal:
        return 0x2E;
    case Qt::Key_BracketLeft:
        return 0x2F;
    case Qt::Key_BracketRight:
        return 0x30;
    case Qt::Key_Backslash:
        return 0x31;
    case Qt::Key_Semicolon:
        return 0x33;
    case Qt::Key_Apostrophe:
        return 0x34;
    case Qt::Key_QuoteLeft:
        return 0x35;
    case Qt::Key_Comma:
        return 0x36;
    case Qt::Key_Period:
        return 0x37;
    case Qt::Key_Slash:
        return 0x38;
    case Qt::Key_CapsLock:
        return 0x39;
    case Qt::Key_Insert:
        return 0x49;
    case Qt::Key_Home:
        return 0x4A;
    case Qt::Key_PageUp:
        return 0x4B;
    case Qt::Key_Delete:
        return 0x4C;
    case Qt::Key_End:
        return 0x4D;
    case Qt::Key_PageDown:
        return 0x4E;
    case Qt::Key_Right:
        return 0x4F;
    case Qt::Key_Left:
        return 0x50;
    case Qt::Key_Down:
        return 0x51;
    case Qt::Key_Up:
        return 0x52;
    case Qt::Key_Enter:
        return 0x58; // keypad Enter
    case Qt::Key_Control:
        return 0xE0;
    case Qt::Key_Shift:
        return 0xE1;
    case Qt::Key_Alt:
        return 0xE2;
    case Qt::Key_Meta:
        return 0xE3;
    default:
        return 0;
    }
}
