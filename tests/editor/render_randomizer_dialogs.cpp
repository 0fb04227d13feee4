// Renders the randomizer's two dialogs, for looking at their layout without
// a display.
//
//     render_randomizer_dialogs OUTPUT_FOLDER
//
// writes create-schema-parameters.png and one parameter-list-view-*.png per
// control kind, then runs itself at device pixel ratio 2 for the @2x pictures.
#include "frm_create_schema_parameters.h"
#include "frm_parameter_list_view.h"
#include "parameter_binding.h"
#include "schema.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QProcess>

#include <cstdio>

namespace {

const char* DoubleFlag = "--double";

bool Save(QWidget& window, const QDir& folder, const QString& name, bool doubled) {
    window.show();
    QApplication::processEvents();
    const QString path =
        folder.filePath(name + (doubled ? QStringLiteral("@2x.png") : QStringLiteral(".png")));
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), window.width(), window.height());
    return true;
}

struct ListViewPicture {
    const char* name;
    const char* member;
    int value;
    const char* allowed;
    const char* displayMode;
    int highlightedRow;
};

const ListViewPicture ListViewPictures[] = {
    {"parameter-list-view-note-knob", "knobOsc1Frequency", 60, "", "", -1},
    {"parameter-list-view-lfo-knob", "KnobLFO1Frequency", 151, "", "", 151},
    {"parameter-list-view-list", "cmbMod1Destination", 3, "0001110000000001", "", 4},
    {"parameter-list-view-assignable", "cmbAssignable1", 20, "", "", 20},
    {"parameter-list-view-step", "SldSeq101", 60, "", "S", 60},
    {"parameter-list-view-led", "CheckLedLFO1Sync", 1, "01", "", -1},
};

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const bool doubled = arguments.removeAll(QString::fromLatin1(DoubleFlag)) > 0;
    if (doubled)
        qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    const QDir folder(arguments.isEmpty() ? QStringLiteral(".") : arguments.front());
    if (!folder.exists()) {
        std::fprintf(stderr, "no such folder: %s\n", qPrintable(folder.path()));
        return 2;
    }

    SchemaTolerances tolerances;
    tolerances.ArpTolerance = 12;
    tolerances.SchemaScale = 2;
    TfrmCreateSchemaParameters schema(tolerances);
    if (!Save(schema, folder, QStringLiteral("create-schema-parameters"), doubled))
        return 1;

    for (const ListViewPicture& picture : ListViewPictures) {
        const ParameterBinding& binding =
            ParameterBindings[static_cast<std::size_t>(BindingIndex(picture.member))];
        TfrmParameterListView view(binding, picture.value, picture.allowed,
                                   QString::fromLatin1(picture.displayMode));
        if (picture.highlightedRow >= 0) {
            view.CheckListBox1->setCurrentRow(picture.highlightedRow);
            view.CheckListBox1->scrollToItem(view.CheckListBox1->currentItem(),
                                             QAbstractItemView::PositionAtCenter);
        }
        if (!Save(view, folder, QString::fromLatin1(picture.name), doubled))
            return 1;
    }
    if (doubled)
        return 0;
    // The double-resolution pictures need a fresh program started at that scale.
    return QProcess::execute(QCoreApplication::applicationFilePath(),
                             {folder.path(), QString::fromLatin1(DoubleFlag)});
}
