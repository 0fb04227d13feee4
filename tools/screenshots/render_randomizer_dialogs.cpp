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
#include "render_program.h"
#include "schema.h"

#include <QApplication>
#include <QListWidget>

#include <cstdio>

namespace {

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
    const render::Options options = render::ReadOptions(argc, argv);
    QApplication app(argc, argv);
    if (!render::FolderExists(options))
        return 2;

    SchemaTolerances tolerances;
    tolerances.ArpTolerance = 12;
    tolerances.SchemaScale = 2;
    TfrmCreateSchemaParameters schema(tolerances);
    if (!render::ShowAndSave(options, schema, QStringLiteral("create-schema-parameters")))
        return 1;

    for (const ListViewPicture& picture : ListViewPictures) {
        const ParameterBinding& binding =
            ParameterBindings[static_cast<std::size_t>(BindingIndex(picture.member))];
        TfrmParameterListView view(binding, picture.value, picture.allowed,
                                   *picture.displayMode != 0);
        if (picture.highlightedRow >= 0) {
            view.CheckListBox1->setCurrentRow(picture.highlightedRow);
            view.CheckListBox1->scrollToItem(view.CheckListBox1->currentItem(),
                                             QAbstractItemView::PositionAtCenter);
        }
        if (!render::ShowAndSave(options, view, QString::fromLatin1(picture.name)))
            return 1;
    }
    return render::RenderDoubleToo(options);
}
