#include "app/commands/CommandTable.h"

#include "app/commands/CommandContext.h"
#include "app/commands/Rows.h"
#include "app/CChildFrame.h"
#include "app/CParvelWebcamView.h"
#include "pipeline/CWebcamCtl.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>

namespace {
QString Text(const char* source)
{
    return QCoreApplication::translate("Commands", source);
}
} // namespace

PictureModel& CommandContext::model() const
{
    return webcam().model();
}

CWebcamCtl& CommandContext::webcam() const
{
    return *view().webcam();
}

CParvelWebcamView& CommandContext::view() const
{
    Q_ASSERT(document != nullptr);
    return *document->view();
}

CFrameView& CommandContext::pane() const
{
    Q_ASSERT(document != nullptr);
    return *document->pane();
}

bool CommandContext::cameraRunning() const
{
    return document != nullptr && webcam().cameraRunning();
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
    const CommandRow* row = Find(id);
    if (row == nullptr || !row->run || (row->needsDocument && !context.hasDocument()))
        return false;
    row->run(context);
    return true;
}

CommandState CommandTable::Update(CommandId id, const CommandContext& context) const
{
    const CommandRow* row = Find(id);
    if (row == nullptr)
        return {};
    if (row->needsDocument && !context.hasDocument()) {
        CommandState state;
        state.enabled = false;
        return state;
    }
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
    return row == nullptr ? QString() : Text(row->caption);
}

QString CommandTable::ToolTip(CommandId id) const
{
    const CommandRow* row = Find(id);
    if (row == nullptr)
        return {};
    QString tip;
    if (*row->tipTitle == '\0' && *row->tipDescription == '\0')
        tip = Text(row->caption).remove(QRegularExpression(QStringLiteral("\\(&.\\)|&")));
    else
        tip = Text(row->tipDescription) + QLatin1Char('\n') + Text(row->tipTitle);
    if (*row->shortcut != '\0')
        tip += QStringLiteral(" (%1)").arg(Shortcut(id).toString(QKeySequence::NativeText));
    return tip;
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
    AddEffectRows(table);
    AddDecorationRows(table);
    AddWindowRows(table);
    AddPhotoRows(table);
    AddRecordRows(table);
    AddFolderRows(table);
    AddStripKindRows(table);
    AddGalleryRows(table);
    AddHelpRows(table);
    return table;
}
