#pragma once
// The program's icons: one list of 26 small pictures for tool bars, menus,
// tabs and the status bar, where an index always stands for the same role,
// and the application icon (a safe).
//
// Every picture is painted, not loaded: the painting is laid out on a 16-unit
// grid with strokes on pixel centres, so it comes out sharp at 16, 32 and 48
// pixels. Tool bars and menus should ask for 16 × 16 (or a multiple).

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>

class ImageListMain {
public:
    static constexpr int Count = 26;
    static constexpr int Size = 16;

    // Roles of the indices.
    enum Index : int {
        DatabaseConnected = 0,
        Email = 1,
        Phone = 2,
        AccessData = 3,
        Appointments = 4,
        ProgramInfo = 5,
        Add = 6,
        Save = 7,
        Edit = 8,
        Delete = 9,
        ImportPicture = 10,
        Help = 11,
        MasterPassword = 12,
        DatabaseDisconnected = 13,
        Backup = 14,
        Restore = 15,
        UpdateCheck = 16,
        Log = 17,
        ToDo = 18,
        HintPanel = 19,
        Spare = 20,
        ExportPicture = 21,
        CancelEditing = 22,
        LegendAppointment = 23,
        LegendToDo = 24,
        ZoomWholePicture = 25,
    };

    // Callers name pictures by their role; a bare number does not compile.
    // An icon with pictures painted at 16, 24, 32 and 48 pixels (24 is the
    // softest of them); a null icon for an index outside 0 .. Count - 1.
    static QIcon Icon(Index index);
    // The picture at 16 × 16, or at size × size; null outside 0 .. Count - 1
    // or for a size below 1.
    static QPixmap Pixmap(Index index);
    static QPixmap Pixmap(Index index, int size);
    // The same as an image (premultiplied ARGB), also usable without a screen.
    static QImage Image(Index index, int size = Size);

    // The safe, at 16 to 256 pixels, for windows and the desktop entry.
    static QIcon ApplicationIcon();
    static QImage ApplicationImage(int size);
    // Writes the application icon as a PNG file of size × size pixels
    // (1 to 1024); false when the size is out of range or the file cannot be
    // written.
    static bool WriteApplicationIconPng(const QString &path, int size);
};
