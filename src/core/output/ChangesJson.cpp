// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/output/ChangesJson.h"

#include "core/listing/ScanCompare.h"
#include "core/output/NcduJson.h"

#include <string>
#include <utility>

namespace {
const char *kindName(ChangeKind kind)
{
    switch (kind) {
    case ChangeKind::New: return "new";
    case ChangeKind::Gone: return "gone";
    case ChangeKind::Grown: return "grown";
    case ChangeKind::Shrunk: return "shrunk";
    case ChangeKind::Unchanged: break;
    }
    return "unchanged";
}

void appendNumber(std::string &out, const char *key, int64_t n)
{
    out += key;
    out += std::to_string(n);
}
} // namespace

void writeChangesJson(const ListedFolder &before, const ListedFolder &after, QByteArrayView older, bool changesOnly,
                      const std::function<void(QByteArrayView)> &put)
{
    const ComparedLines compared = compareLines(before, after);
    std::string out = "{\"folder\":";
    appendJsonName(out, after.path);
    out += ",\"older\":";
    appendJsonName(out, older);
    out += after.choices.diskUsage ? ",\"diskUsage\":true" : ",\"diskUsage\":false";
    appendNumber(out, ",\n\"total\":{\"old\":", compared.oldTotal.bytes);
    appendNumber(out, ",\"new\":", compared.newTotal.bytes);
    out += "},\n\"lines\":[";
    const auto flush = [&] {
        put(QByteArrayView(out.data(), qsizetype(out.size())));
        out.clear();
    };
    const char *const sectionText[] = {"\n{\"section\":\"folders\",\"path\":", "\n{\"section\":\"recursive\",\"path\":",
                                       "\n{\"section\":\"files\",\"path\":"};
    bool first = true;
    for (int section = 0; section < 3; ++section) {
        if (section == int(ListedSection::Folders) && !after.choices.includeFolders)
            continue;
        for (const ComparedLine &line : compared.sections[section]) {
            if (changesOnly && line.change.kind == ChangeKind::Unchanged)
                continue;
            if (!std::exchange(first, false))
                out += ',';
            out += sectionText[section];
            appendJsonName(out, (line.after ? line.after : line.before)->path);
            out += ",\"kind\":\"";
            out += kindName(line.change.kind);
            appendNumber(out, "\",\"change\":", line.change.delta);
            if (line.before && line.before->bytes)
                appendNumber(out, ",\"old\":", *line.before->bytes);
            if (line.after && line.after->bytes)
                appendNumber(out, ",\"new\":", *line.after->bytes);
            out += '}';
            if (out.size() >= (1 << 16) - 600)
                flush();
        }
    }
    out += "\n]}\n";
    flush();
}
