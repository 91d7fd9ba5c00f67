// The setup dialog on GTK 3: a modal window built from the UI description below,
// laid out in dialog units that are turned into pixels from the dialog's own font,
// the way a dialog template is.
#include <gtk/gtk.h>

#include <cstdio>
#include <initializer_list>

#include "platform/settings.h"
#include "app/setup_dialog.h"

// Positions and sizes in the layout are dialog units: a quarter of the font's
// average character width across, an eighth of its height down. The closed height
// of the two lists is left to GTK; the template's list heights include the open list.
static const char dialog_ui[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<interface>
  <requires lib="gtk+" version="3.20"/>
  <object class="GtkListStore" id="mix_rates">
    <columns><column type="gchararray"/><column type="gint"/></columns>
    <data>
      <row><col id="0">11025</col><col id="1">11025</col></row>
      <row><col id="0">22050</col><col id="1">22050</col></row>
      <row><col id="0">44100</col><col id="1">44100</col></row>
      <row><col id="0">48000</col><col id="1">48000</col></row>
    </data>
  </object>
  <object class="GtkListStore" id="zooms">
    <columns><column type="gchararray"/><column type="gint"/></columns>
    <data>
      <row><col id="0">Zoomfactor 1</col><col id="1">1</col></row>
      <row><col id="0">Zoomfactor 2</col><col id="1">2</col></row>
      <row><col id="0">Zoomfactor 4</col><col id="1">4</col></row>
    </data>
  </object>
  <object class="GtkWindow" id="dialog">
    <property name="title">Kelvora</property>
    <property name="modal">True</property>
    <property name="resizable">False</property>
    <property name="window-position">center</property>
    <property name="type-hint">dialog</property>
    <property name="deletable">True</property>
    <child>
      <object class="GtkFixed" id="layout">
        <property name="visible">True</property>
        <child>
          <object class="GtkButton" id="ok">
            <property name="label">OK</property>
            <property name="visible">True</property>
            <property name="can-focus">True</property>
            <property name="can-default">True</property>
            <property name="receives-default">True</property>
            <property name="width-request">50</property>
            <property name="height-request">14</property>
          </object>
          <packing><property name="x">7</property><property name="y">58</property></packing>
        </child>
        <child>
          <object class="GtkButton" id="cancel">
            <property name="label">Cancel</property>
            <property name="visible">True</property>
            <property name="can-focus">True</property>
            <property name="width-request">50</property>
            <property name="height-request">14</property>
          </object>
          <packing><property name="x">62</property><property name="y">58</property></packing>
        </child>
        <child>
          <object class="GtkCheckButton" id="fullscreen">
            <property name="label">Fullscreen</property>
            <property name="visible">True</property>
            <property name="can-focus">True</property>
            <property name="width-request">48</property>
            <property name="height-request">10</property>
          </object>
          <packing><property name="x">7</property><property name="y">7</property></packing>
        </child>
        <child>
          <object class="GtkCheckButton" id="sound">
            <property name="label">Sound</property>
            <property name="visible">True</property>
            <property name="can-focus">True</property>
            <property name="width-request">37</property>
            <property name="height-request">10</property>
          </object>
          <packing><property name="x">7</property><property name="y">22</property></packing>
        </child>
        <child>
          <object class="GtkComboBox" id="mix_rate">
            <property name="model">mix_rates</property>
            <property name="visible">True</property>
            <property name="width-request">68</property>
            <child>
              <object class="GtkCellRendererText"/>
              <attributes><attribute name="text">0</attribute></attributes>
            </child>
          </object>
          <packing><property name="x">7</property><property name="y">37</property></packing>
        </child>
        <child>
          <object class="GtkComboBox" id="zoom">
            <property name="model">zooms</property>
            <property name="visible">True</property>
            <property name="width-request">47</property>
            <child>
              <object class="GtkCellRendererText"/>
              <attributes><attribute name="text">0</attribute></attributes>
            </child>
          </object>
          <packing><property name="x">65</property><property name="y">13</property></packing>
        </child>
      </object>
    </child>
  </object>
</interface>
)";

// The dialog's size in dialog units.
constexpr int dialog_w_du = 119;
constexpr int dialog_h_du = 79;

struct DialogRun {
    GtkBuilder* builder;
    RunSettings* settings;
    int result;        // -1 until OK
    bool finished;     // the nested main loop was asked to end
    bool destroyed;    // the window is already gone (destroyed from outside)
};

static GtkWidget* widget(GtkBuilder* b, const char* id) {
    return GTK_WIDGET(gtk_builder_get_object(b, id));
}

static void finish(DialogRun* run, int result) {
    if (run->finished) return;
    run->finished = true;
    run->result = result;
    gtk_main_quit();
}

// The item value (column 1) of the selected entry; fallback when nothing is selected.
static int32_t item_value(GtkWidget* combo, int32_t fallback) {
    GtkTreeIter it;
    if (!gtk_combo_box_get_active_iter(GTK_COMBO_BOX(combo), &it)) return fallback;
    gint value = fallback;
    gtk_tree_model_get(gtk_combo_box_get_model(GTK_COMBO_BOX(combo)), &it, 1, &value, -1);
    return int32_t(value);
}

static void on_ok(GtkButton*, gpointer data) {
    auto* run = static_cast<DialogRun*>(data);
    if (run->finished) return;
    GtkBuilder* b = run->builder;
    RunSettings* s = run->settings;
    s->fullscreen = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget(b, "fullscreen")));
    s->sound = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget(b, "sound")));
    s->mix_rate = item_value(widget(b, "mix_rate"), s->mix_rate);
    s->zoom = item_value(widget(b, "zoom"), s->zoom);
    finish(run, 1);
}

static void on_cancel(GtkButton*, gpointer data) { finish(static_cast<DialogRun*>(data), -1); }

static gboolean on_delete(GtkWidget*, GdkEvent*, gpointer data) {
    finish(static_cast<DialogRun*>(data), -1);
    return TRUE;  // destroyed below, once the loop has ended
}

// Runs before the focused control sees the key. Escape cancels wherever the focus
// is. A closed drop-down list leaves Return to the default button, as in a dialog
// template; GTK's list button would take it and open the list.
static gboolean on_key(GtkWidget* window, GdkEventKey* event, gpointer data) {
    auto* run = static_cast<DialogRun*>(data);
    if (event->keyval == GDK_KEY_Escape) {
        finish(run, -1);
        return TRUE;
    }
    const bool enter = event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter ||
                       event->keyval == GDK_KEY_ISO_Enter;
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window));
    if (enter && focus && gtk_widget_get_ancestor(focus, GTK_TYPE_COMBO_BOX)) {
        // Straight to the default button: GTK would give a focused button the key.
        if (GtkWidget* ok = gtk_window_get_default_widget(GTK_WINDOW(window))) gtk_widget_activate(ok);
        return TRUE;
    }
    return FALSE;
}

static void on_destroy(GtkWidget*, gpointer data) {
    auto* run = static_cast<DialogRun*>(data);
    run->destroyed = true;
    finish(run, -1);
}

// Moves and sizes every child of the layout from dialog units to pixels, with the
// base units of the dialog's font: horizontal = rounded average width of the 52
// letters, vertical = the font's line height. Rounds to nearest, as dialog
// templates do.
static void lay_out(GtkWidget* window, GtkWidget* layout) {
    PangoLayout* text = gtk_widget_create_pango_layout(
        window, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    int text_w = 0, text_h = 0;
    pango_layout_get_pixel_size(text, &text_w, &text_h);
    g_object_unref(text);
    // Fallbacks are the classic 8-point system font's base units.
    const int base_x = text_w > 0 ? (text_w / 26 + 1) / 2 : 6;
    const int base_y = text_h > 0 ? text_h : 13;
    auto px_x = [&](int du) { return (du * base_x + 2) / 4; };
    auto px_y = [&](int du) { return (du * base_y + 4) / 8; };

    GList* children = gtk_container_get_children(GTK_CONTAINER(layout));
    for (GList* c = children; c; c = c->next) {
        GtkWidget* child = GTK_WIDGET(c->data);
        gint x = 0, y = 0, w = -1, h = -1;
        gtk_container_child_get(GTK_CONTAINER(layout), child, "x", &x, "y", &y, nullptr);
        gtk_widget_get_size_request(child, &w, &h);
        gtk_fixed_move(GTK_FIXED(layout), child, px_x(x), px_y(y));
        gtk_widget_set_size_request(child, w < 0 ? -1 : px_x(w), h < 0 ? -1 : px_y(h));
    }
    g_list_free(children);
    gtk_widget_set_size_request(layout, px_x(dialog_w_du), px_y(dialog_h_du));
}

// Tab order of the template: OK, Cancel, Fullscreen, Sound, mixing rate, zoom.
// GTK would otherwise order a fixed layout by position.
static void set_tab_order(GtkBuilder* b) {
    GList* chain = nullptr;
    for (const char* id : {"zoom", "mix_rate", "sound", "fullscreen", "cancel", "ok"})
        chain = g_list_prepend(chain, widget(b, id));
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_container_set_focus_chain(GTK_CONTAINER(widget(b, "layout")), chain);
    G_GNUC_END_IGNORE_DEPRECATIONS
    g_list_free(chain);
}

// Lets GTK hand everything it still holds (the unmap and destroy of the dialog) to
// the display server before the show opens its own window.
static void drain_events() {
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
    if (GdkDisplay* d = gdk_display_get_default()) gdk_display_sync(d);
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

int show_setup_dialog(RunSettings* settings) {
    // The show formats numbers with "." whatever the user's locale: GTK must not
    // switch the process to it.
    gtk_disable_setlocale();
    if (!gtk_init_check(nullptr, nullptr)) {
        fprintf(stderr, "kelvora: cannot open a display for the setup dialog\n");
        return -1;
    }

    GError* error = nullptr;
    GtkBuilder* b = gtk_builder_new();
    if (!gtk_builder_add_from_string(b, dialog_ui, -1, &error)) {
        fprintf(stderr, "kelvora: setup dialog: %s\n", error ? error->message : "bad description");
        if (error) g_error_free(error);
        g_object_unref(b);
        return -1;
    }
    GtkWidget* window = widget(b, "dialog");
    GtkWidget* ok = widget(b, "ok");
    lay_out(window, widget(b, "layout"));
    set_tab_order(b);

    // The template's initial state: 44100 and zoom 2 selected, both boxes checked.
    gtk_combo_box_set_active(GTK_COMBO_BOX(widget(b, "mix_rate")), 2);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget(b, "fullscreen")), TRUE);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget(b, "sound")), TRUE);
    gtk_combo_box_set_active(GTK_COMBO_BOX(widget(b, "zoom")), 1);

    DialogRun run{b, settings, -1, false, false};
    g_signal_connect(ok, "clicked", G_CALLBACK(on_ok), &run);
    g_signal_connect(widget(b, "cancel"), "clicked", G_CALLBACK(on_cancel), &run);
    g_signal_connect(window, "delete-event", G_CALLBACK(on_delete), &run);
    g_signal_connect(window, "key-press-event", G_CALLBACK(on_key), &run);
    g_signal_connect(window, "destroy", G_CALLBACK(on_destroy), &run);

    gtk_window_set_default(GTK_WINDOW(window), ok);  // Return accepts
    gtk_widget_show(window);
    // No control has the keyboard focus at first; Tab starts at OK.
    gtk_window_set_focus(GTK_WINDOW(window), nullptr);
    gtk_main();

    if (!run.destroyed) {
        g_signal_handlers_disconnect_by_data(window, &run);
        gtk_widget_destroy(window);
    }
    g_object_unref(b);
    drain_events();
    return run.result;
}
