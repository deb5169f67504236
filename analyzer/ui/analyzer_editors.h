#pragma once

#include <QString>
#include <QWidget>
#include <optional>

namespace analyzer_ui {

// The editors the main window opens. It learns only how each ended; everything else
// travels through the settings file and the port definitions file.
class AnalyzerEditors {
  public:
    virtual ~AnalyzerEditors() = default;
    // The address or port to filter, as the user left it; nothing when cancelled.
    virtual std::optional<QString> AddSourceIp(QWidget* parent, const QString& preset) = 0;
    virtual std::optional<QString> AddTargetPort(QWidget* parent, const QString& preset) = 0;
    // True when the filter editor ended with OK.
    virtual bool EditFilters(QWidget* parent) = 0;
    virtual void EditPorts(QWidget* parent) = 0;
    virtual void EditOptions(QWidget* parent) = 0;
};

}  // namespace analyzer_ui
