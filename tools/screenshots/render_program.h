#pragma once

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QStringList>
#include <QWidget>

#include <cstdio>

// The frame of the programs that render windows to PNG files: "program
// FOLDER" draws the pictures at 1x, then runs itself again at 2x.
namespace render {

inline constexpr const char* DoubleFlag = "--double";

struct Options {
    QDir folder;
    bool doubled = false; // this run draws the @2x pictures
};

// Call before the application object exists: the platform and the scale
// factor are read when it starts.
inline Options ReadOptions(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    Options options;
    options.doubled = arguments.removeAll(QString::fromLatin1(DoubleFlag)) > 0;
    if (options.doubled)
        qputenv("QT_SCALE_FACTOR", "2");
    options.folder = QDir(arguments.isEmpty() ? QStringLiteral(".") : arguments.front());
    return options;
}

inline bool FolderExists(const Options& options) {
    if (options.folder.exists())
        return true;
    std::fprintf(stderr, "no such folder: %s\n", qPrintable(options.folder.path()));
    return false;
}

// "name.png", or "name@2x.png" in the doubled run.
inline QString PicturePath(const Options& options, const QString& name) {
    return options.folder.filePath(
        name + (options.doubled ? QStringLiteral("@2x.png") : QStringLiteral(".png")));
}

// Grabs `widget` into name.png (name@2x.png); false, with a line on standard
// error, when the file cannot be written.
inline bool SavePicture(const Options& options, QWidget& widget, const QString& name) {
    const QString path = PicturePath(options, name);
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), widget.width(), widget.height());
    return true;
}

// Shows `widget`, lets it lay itself out, then saves it as SavePicture does.
inline bool ShowAndSave(const Options& options, QWidget& widget, const QString& name) {
    widget.show();
    QApplication::processEvents();
    return SavePicture(options, widget, name);
}

// After the 1x pictures: the 2x ones, drawn by a fresh run at that scale.
inline int RenderDoubleToo(const Options& options) {
    if (options.doubled)
        return 0;
    return QProcess::execute(QCoreApplication::applicationFilePath(),
                             {options.folder.path(), QString::fromLatin1(DoubleFlag)});
}

} // namespace render
