#pragma once

#include <QDialog>
#include <QTabWidget>
#include <QWidget>
#include <vector>

namespace common_ui {

// A page of a TabbedSheet. It reads what it shows the first time it is shown, and
// writes it back only if it was shown.
class SheetPage : public QWidget {
  public:
    using QWidget::QWidget;

    bool wasShown() const { return wasShown_; }

    // The first time the page is shown, before entered().
    virtual void load() = 0;
    // At the sheet's OK, for a page that was shown; the page in front has not been left.
    virtual void save() = 0;
    // Each time the page comes to the front, and each time it leaves it.
    virtual void entered() {}
    virtual void left() {}

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    bool wasShown_ = false;
};

// A modal dialog of tabbed pages with OK and Cancel. OK saves the pages shown during
// this opening, in tab order; Cancel, Escape and the close box save nothing.
class TabbedSheet : public QDialog {
  public:
    explicit TabbedSheet(const QString& title, QWidget* parent = nullptr);

    // The sheet takes the page.
    void addPage(SheetPage* page, const QString& label);
    QTabWidget* tabs() const { return tabs_; }

    void accept() override;

  private:
    QTabWidget* tabs_;
    std::vector<SheetPage*> pages_;
};

}  // namespace common_ui
