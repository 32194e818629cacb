#include "app/commands/CommandTable.h"

#include "app/commands/CommandContext.h"
#include "app/commands/Rows.h"
#include "app/commands/WindowPort.h"
#include "pipeline/PictureSession.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>

QString CommandText(const char* source)
{
    return QCoreApplication::translate("Commands", source);
}

PictureSession& CommandContext::picture() const
{
    Q_ASSERT(session != nullptr);
    return *session;
}

PictureModel& CommandContext::model() const
{
    return picture().model();
}

SidePanePort& CommandContext::sidePane() const
{
    Q_ASSERT(pane != nullptr);
    return *pane;
}

bool CommandContext::cameraRunning() const
{
    return session != nullptr && session->running();
}

void CommandContext::SetStatus(const QString& text) const
{
    window.SetStatusText(text);
}

void CommandTable::Add(CommandRow row)
{
    auto same = std::find_if(rows_.begin(), rows_.end(), [&](const CommandRow& r) { return r.id == row.id; });
    if (same != rows_.end())
        *same = std::move(row);
    else
        rows_.push_back(std::move(row));
}

const CommandRow* CommandTable::Find(CommandId id) const
{
    auto it = std::find_if(rows_.begin(), rows_.end(), [&](const CommandRow& r) { return r.id == id; });
    return it == rows_.end() ? nullptr : &*it;
}

std::vector<CommandId> CommandTable::ids() const
{
    std::vector<CommandId> result;
    result.reserve(rows_.size());
    for (const CommandRow& row : rows_)
        result.push_back(row.id);
    return result;
}

bool CommandTable::Run(CommandId id, CommandContext& context) const
{
    return Run(id, context, CommandInput {});
}

bool CommandTable::Run(CommandId id, CommandContext& context, const CommandInput& input) const
{
    const CommandRow* row = Find(id);
    if (row == nullptr || !row->run || (row->needsDocument && !context.hasDocument()))
        return false;
    row->run(context, input);
    return true;
}

CommandState CommandTable::Update(CommandId id, const CommandContext& context) const
{
    return Update(id, context, CommandInput {});
}

CommandState CommandTable::Update(CommandId id, const CommandContext& context, const CommandInput& input) const
{
    const CommandRow* row = Find(id);
    if (row == nullptr)
        return {};
    if (row->needsDocument && !context.hasDocument()) {
        CommandState state;
        state.enabled = false;
        return state;
    }
    if (row->updateFor)
        return row->updateFor(context, input);
    return row->update ? row->update(context) : CommandState {};
}

std::vector<const CommandRow*> CommandTable::rows() const
{
    std::vector<const CommandRow*> result;
    result.reserve(rows_.size());
    for (const CommandRow& row : rows_)
        result.push_back(&row);
    return result;
}

QString CommandTable::Caption(CommandId id) const
{
    const CommandRow* row = Find(id);
    return row == nullptr ? QString() : CommandText(row->caption);
}

QString CommandTable::WhenDisabled(CommandId id) const
{
    const CommandRow* row = Find(id);
    return row == nullptr || *row->whenDisabled == '\0' ? QString() : CommandText(row->whenDisabled);
}

QString CommandTable::ToolTip(CommandId id) const
{
    const CommandRow* row = Find(id);
    if (row == nullptr)
        return {};
    QString tip;
    if (*row->tipTitle == '\0' && *row->tipDescription == '\0')
        tip = CommandText(row->caption).remove(QRegularExpression(QStringLiteral("\\(&.\\)|&")));
    else
        tip = CommandText(row->tipDescription) + QLatin1Char('\n') + CommandText(row->tipTitle);
    if (*row->shortcut != '\0')
        tip += QStringLiteral(" (%1)").arg(Shortcut(id).toString(QKeySequence::NativeText));
    return tip;
}

QString CommandTable::ToolTip(CommandId id, const CommandState& state) const
{
    const QString tip = ToolTip(id);
    return state.reason ? *state.reason + QLatin1Char('\n') + tip : tip;
}

QKeySequence CommandTable::Shortcut(CommandId id) const
{
    const CommandRow* row = Find(id);
    return row == nullptr ? QKeySequence() : QKeySequence(QString::fromUtf8(row->shortcut), QKeySequence::PortableText);
}

CommandTable BuildCommandTable()
{
    CommandTable table;
    AddViewRows(table);
    AddCameraRows(table);
    AddCameraSettingsRows(table);
    AddEffectRows(table);
    AddDecorationRows(table);
    AddWindowRows(table);
    AddPhotoRows(table);
    AddRecordRows(table);
    AddFolderRows(table);
    AddStripKindRows(table);
    AddGalleryRows(table);
    AddHelpRows(table);
    AddBackdropRows(table);
    AddFunRows(table);
    return table;
}
