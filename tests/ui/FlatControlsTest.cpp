#include "ui/widgets/FlatControls.h"
#include "ui/FlatControl.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QVBoxLayout>

using namespace tarnwick;

TEST(FlatControlState, LightsUpUnderThePointerAndKeepsTheFocusEdge) {
    FlatControlState box;
    EXPECT_EQ(box.look(), FlatLook::Normal);
    // Crossed without a click: lit while inside, flat again the moment the pointer is out.
    box.pointerMoved();
    EXPECT_EQ(box.look(), FlatLook::Hot);
    box.pointerLeft();
    EXPECT_EQ(box.look(), FlatLook::Normal);

    // Focused: the pointer passing over changes nothing.
    box.pointerMoved();
    box.focusGained();
    box.pointerLeft();
    box.pointerMoved();
    EXPECT_EQ(box.look(), FlatLook::Focused);
    box.pointerLeft();
    EXPECT_EQ(box.look(), FlatLook::Focused);

    // The list drops down pressed and closes to the focused look.
    box.listShown();
    box.pointerMoved();
    box.pointerLeft();
    EXPECT_EQ(box.look(), FlatLook::Dropped);
    box.listHidden();
    EXPECT_EQ(box.look(), FlatLook::Focused);

    // Losing the focus with the pointer still inside: flat until the pointer moves again.
    box.pointerMoved();
    box.focusLost();
    EXPECT_EQ(box.look(), FlatLook::Normal);
    box.pointerMoved();
    EXPECT_EQ(box.look(), FlatLook::Hot);

    // A list opened without the focus closes to the flat look.
    box.listShown();
    EXPECT_EQ(box.look(), FlatLook::Dropped);
    box.listHidden();
    EXPECT_EQ(box.look(), FlatLook::Normal);
}

TEST(FlatControlState, EdgesAreInvisibleAtRestAndSunkenOtherwise) {
    const FlatColours colours{QColor(40, 50, 60), QColor(70, 80, 90)};
    // At rest nothing is painted around the field: any background shows through.
    const FlatEdges normal = flatEdges(FlatLook::Normal, true, colours);
    EXPECT_FALSE(normal.topLeft.isValid());
    EXPECT_FALSE(normal.bottomRight.isValid());
    EXPECT_FALSE(normal.inner.isValid());
    for (FlatLook look : {FlatLook::Hot, FlatLook::Focused, FlatLook::Dropped}) {
        const FlatEdges edges = flatEdges(look, true, colours);
        EXPECT_EQ(edges.topLeft, colours.shadow);
        EXPECT_EQ(edges.bottomRight, colours.highlight);
        EXPECT_EQ(edges.pressed, look == FlatLook::Dropped);
    }
    EXPECT_EQ(flatEdges(FlatLook::Normal, false, colours).inner, colours.highlight);

    QPalette palette;
    palette.setColor(QPalette::Dark, colours.shadow);
    palette.setColor(QPalette::Light, colours.highlight);
    const FlatColours fromPalette = FlatColours::of(palette);
    EXPECT_EQ(fromPalette.shadow, colours.shadow);
    EXPECT_EQ(fromPalette.highlight, colours.highlight);
}

namespace {

QRgb pixel(QWidget* widget, int x, int y) {
    return widget->grab().toImage().pixel(x, y);
}

} // namespace

TEST(FlatControls, AWindowIsFlattenedAndPaintsEachState) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Profile Name")));
    auto* name = new QLineEdit;
    layout->addWidget(name);
    auto* range = new QComboBox;
    range->setEditable(true);
    range->addItems({QStringLiteral("0"), QStringLiteral("10")});
    layout->addWidget(range);
    auto* book = new QComboBox;
    book->addItems({QStringLiteral("All Books"), QStringLiteral("B1")});
    layout->addWidget(book);
    auto* notes = new QPlainTextEdit;
    layout->addWidget(notes);
    layout->addWidget(new QLabel(QStringLiteral("tons per acre")));
    // A tool window of this one flattens its own boxes.
    auto* tool = new QWidget(&window, Qt::Tool);
    auto* toolBox = new QLineEdit(tool);

    // The combo box's own line edit is part of it; the labels are passed over.
    EXPECT_EQ(makeFlat(&window), 4);
    EXPECT_EQ(makeFlat(&window), 0);
    EXPECT_EQ(FlatControl::of(toolBox), nullptr);
    for (QWidget* control : {static_cast<QWidget*>(name), static_cast<QWidget*>(range),
                             static_cast<QWidget*>(book), static_cast<QWidget*>(notes)})
        ASSERT_NE(FlatControl::of(control), nullptr) << control->metaObject()->className();
    EXPECT_EQ(FlatControl::of(range->lineEdit()), nullptr);

    window.resize(300, 260);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const QRgb face = window.palette().color(QPalette::Window).rgb();
    const QRgb shadow = window.palette().color(QPalette::Dark).rgb();
    const QRgb highlight = window.palette().color(QPalette::Light).rgb();
    ASSERT_NE(face, shadow);
    window.setFocus();

    // At rest no edge shows against the window; under the pointer a sunken one does, and it is
    // gone as soon as the pointer has left.
    for (QWidget* control :
         {static_cast<QWidget*>(name), static_cast<QWidget*>(book), static_cast<QWidget*>(notes)}) {
        const int right = control->width() - 1;
        const int bottom = control->height() - 1;
        EXPECT_EQ(pixel(control, 0, bottom / 2), face) << control->metaObject()->className();
        QTest::mouseMove(control, control->rect().center());
        EXPECT_EQ(FlatControl::of(control)->look(), FlatLook::Hot);
        EXPECT_EQ(pixel(control, 0, bottom / 2), shadow);
        EXPECT_EQ(pixel(control, right, bottom / 2), highlight);
        QTest::mouseMove(&window, QPoint(window.width() - 2, window.height() - 2));
        EXPECT_EQ(FlatControl::of(control)->look(), FlatLook::Normal);
        EXPECT_EQ(pixel(control, 0, bottom / 2), face);
    }

    // Focused, the edge stays while the pointer comes and goes.
    name->setFocus();
    EXPECT_EQ(FlatControl::of(name)->look(), FlatLook::Focused);
    QTest::mouseMove(name, name->rect().center());
    QTest::mouseMove(&window, QPoint(window.width() - 2, window.height() - 2));
    EXPECT_EQ(FlatControl::of(name)->look(), FlatLook::Focused);
    EXPECT_EQ(pixel(name, 0, name->height() / 2), shadow);

    // The list of a focused combo box drops down pressed and closes to focused.
    book->setFocus();
    EXPECT_EQ(FlatControl::of(name)->look(), FlatLook::Normal);
    book->showPopup();
    EXPECT_TRUE(FlatControl::of(book)->droppedDown());
    EXPECT_EQ(FlatControl::of(book)->look(), FlatLook::Dropped);
    book->hidePopup();
    EXPECT_FALSE(FlatControl::of(book)->droppedDown());
    EXPECT_EQ(FlatControl::of(book)->look(), FlatLook::Focused);
    EXPECT_EQ(pixel(book, 0, book->height() / 2), shadow);
}
