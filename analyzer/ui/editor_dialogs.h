#pragma once

#include <QString>
#include <QWidget>
#include <optional>
#include <string>

#include "analyzer/core/port_list_editor.h"
#include "common_ui/desktop_prompts.h"

namespace analyzer_ui {

enum class PortDialogKind { kAdd, kEdit, kDelete };
enum class FilterKind { kSourceIp, kTargetPort };

// The small modal dialogs the editors open, behind one seam so an editor's tests answer
// them by script; each answers nothing on Cancel.
class EditorDialogs {
  public:
    virtual ~EditorDialogs() = default;
    // The port dialog of that kind opened on a row (empty for Add); its fields at OK.
    virtual std::optional<analyzer::PortDefinition> RunPortDialog(PortDialogKind kind,
                                                                  const std::string& row,
                                                                  QWidget* parent) = 0;
    // The port typed into the Find dialog.
    virtual std::optional<std::string> RunFindPort(QWidget* parent) = 0;
    // The address or port typed into a filter page's input dialog, opened empty.
    virtual std::optional<QString> RunFilterInput(FilterKind kind, QWidget* parent) = 0;
};

// The real dialogs, run modally; their message boxes go through the prompts.
class ModalEditorDialogs : public EditorDialogs {
  public:
    explicit ModalEditorDialogs(common_ui::DesktopPrompts& prompts) : prompts_(prompts) {}

    std::optional<analyzer::PortDefinition> RunPortDialog(PortDialogKind kind,
                                                          const std::string& row,
                                                          QWidget* parent) override;
    std::optional<std::string> RunFindPort(QWidget* parent) override;
    std::optional<QString> RunFilterInput(FilterKind kind, QWidget* parent) override;

  private:
    common_ui::DesktopPrompts& prompts_;
};

}  // namespace analyzer_ui
