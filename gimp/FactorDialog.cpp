#include "gimp/FactorDialog.h"

#include <libgimp/gimp.h>
#include <libgimp/gimpui.h>

#include <algorithm>
#include <string>

#include "gimp/Procedure.h"

namespace gimphost {

namespace {

struct SummaryLine {
    ImageSize image;
    GtkWidget* label;
};

void ShowSummary(GtkAdjustment* factor, gpointer data) {
    const auto* line = static_cast<const SummaryLine*>(data);
    const auto value = static_cast<int32_t>(gtk_adjustment_get_value(factor));
    gtk_label_set_text(GTK_LABEL(line->label), ReductionSummary(line->image, value).c_str());
}

GtkWidget* NewDialog() {
    GtkWidget* dialog = gimp_dialog_new("Reduce without Moir\xc3\xa9", "decimora-gimp", nullptr,
                                        static_cast<GtkDialogFlags>(0), gimp_standard_help_func, kProcedureName,
                                        "_Cancel", GTK_RESPONSE_CANCEL, "_OK", GTK_RESPONSE_OK, nullptr);
    gtk_dialog_set_alternative_button_order(GTK_DIALOG(dialog), GTK_RESPONSE_OK, GTK_RESPONSE_CANCEL, -1);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    gimp_window_set_transient(GTK_WINDOW(dialog));
    return dialog;
}

// The factor row and the summary line below it, in the dialog's content area.
GtkWidget* AddControls(GtkWidget* dialog, GtkAdjustment* factor, GtkWidget* summary) {
    GtkWidget* box = gtk_vbox_new(FALSE, 12);
    gtk_container_set_border_width(GTK_CONTAINER(box), 12);
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), box, TRUE, TRUE, 0);

    GtkWidget* row = gtk_hbox_new(FALSE, 6);
    gtk_box_pack_start(GTK_BOX(box), row, FALSE, FALSE, 0);
    GtkWidget* label = gtk_label_new_with_mnemonic("_Factor:");
    gtk_box_pack_start(GTK_BOX(row), label, FALSE, FALSE, 0);
    GtkWidget* spin = gtk_spin_button_new(factor, 1.0, 0);
    gtk_spin_button_set_numeric(GTK_SPIN_BUTTON(spin), TRUE);
    gtk_entry_set_activates_default(GTK_ENTRY(spin), TRUE);
    gtk_label_set_mnemonic_widget(GTK_LABEL(label), spin);
    gtk_box_pack_start(GTK_BOX(row), spin, FALSE, FALSE, 0);

    gtk_misc_set_alignment(GTK_MISC(summary), 0.0, 0.5);
    gtk_box_pack_start(GTK_BOX(box), summary, FALSE, FALSE, 0);
    gtk_widget_show_all(box);
    return spin;
}

// The dialog is gone from the screen before the long run starts.
void FlushEvents() {
    while (gtk_events_pending()) gtk_main_iteration();
}

}  // namespace

std::optional<int32_t> AskForFactor(const ImageSize& image, int32_t preset) {
    gimp_ui_init("decimora-gimp", FALSE);
    const int32_t largest = std::clamp(std::min(image.width, image.height), kDialogMinFactor, kDialogMaxFactor);
    const int32_t shown = std::clamp(preset, kDialogMinFactor, largest);
    GtkAdjustment* factor =
        GTK_ADJUSTMENT(gtk_adjustment_new(shown, kDialogMinFactor, largest, 1.0, 2.0, 0.0));

    GtkWidget* dialog = NewDialog();
    SummaryLine line{image, gtk_label_new("")};
    GtkWidget* spin = AddControls(dialog, factor, line.label);
    g_signal_connect(factor, "value-changed", G_CALLBACK(ShowSummary), &line);
    ShowSummary(factor, &line);
    gtk_widget_grab_focus(spin);
    gtk_widget_show(dialog);

    const bool accepted = gimp_dialog_run(GIMP_DIALOG(dialog)) == GTK_RESPONSE_OK;
    gtk_spin_button_update(GTK_SPIN_BUTTON(spin));
    const auto chosen = static_cast<int32_t>(gtk_adjustment_get_value(factor));
    gtk_widget_destroy(dialog);
    FlushEvents();
    if (!accepted) return std::nullopt;
    return chosen;
}

}  // namespace gimphost
