#include "operationestimate.h"

#include "chips/chipcontrol.h"
#include "core/stringgrid.h"
#include "core/tablelayout.h"
#include "linkstate.h"

#include <algorithm>

namespace {
// Below this much of the way the pace says too little to tell the time left.
constexpr double PaceFrom = 0.02;
} // namespace

OperationEstimate::OperationEstimate(Sources sources, std::function<qint64()> now, LengthOf length)
    : s(sources), nowMs(std::move(now)), lengthOf(std::move(length)),
      lastState(LinkContext::StateIdle) {}

QString OperationEstimate::leftText(qint64 ms) {
    const qint64 seconds = (std::max<qint64>(ms, 0) + 999) / 1000;
    return QStringLiteral("%1:%2 left")
        .arg(seconds / 60)
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

void OperationEstimate::started(int state) {
    startedAt = nowMs();
    currentRow = -1;
    lengths.clear();
    if (state == LinkContext::StateRecordingTable) {
        for (int row = 1;
             row < s.fileGrid.RowCount() && !s.fileGrid.cell(FileColumn::File, row).isEmpty();
             ++row)
            lengths.push_back(-1);
    }
}

qint64 OperationEstimate::lengthOfRow(int row) {
    const auto index = static_cast<size_t>(row - 1);
    if (index < lengths.size() && lengths[index] >= 0)
        return lengths[index];
    const std::optional<qint64> ms = lengthOf(s.fileGrid.cell(FileColumn::File, row));
    const qint64 value = ms ? *ms : -1;
    if (index < lengths.size())
        lengths[index] = value;
    return value;
}

OperationEstimate::Estimate OperationEstimate::update() {
    const int state = s.link.LinkState;
    if (state != lastState && state != LinkContext::StateIdle) {
        // A table recording moves from row to row in its own state; a new
        // operation starts only from another state.
        started(state);
        heldDone = -1;
    }
    lastState = state;
    Estimate estimate = measure(state);
    if (!estimate.shown)
        return estimate;
    if (s.link.ProgrammerSilent) {
        // Nothing says the chip is still being worked on: the bar stays where
        // the last reply left it, and no time left is claimed.
        estimate.done = heldDone;
        estimate.leftMs = -1;
    } else {
        heldDone = estimate.done;
    }
    return estimate;
}

OperationEstimate::Estimate OperationEstimate::measure(int state) {
    switch (state) {
    case LinkContext::StateRecordingTable:
        return recording(true);
    case LinkContext::StateRecording:
        return recording(false);
    case LinkContext::StateScanning: {
        const double rows = double(s.chip.LastAddress) + 1;
        return byPace(std::clamp(double(s.link.ReplyAddress) / rows, 0.0, 1.0));
    }
    case LinkContext::StateChecking: {
        int files = 0;
        while (files + 1 < s.fileGrid.RowCount() &&
               !s.fileGrid.cell(FileColumn::Start, files + 1).isEmpty())
            ++files;
        return byPace(files > 0 ? std::clamp(double(s.link.TableRow - 1) / files, 0.0, 1.0) : -1);
    }
    default:
        return {};
    }
}

OperationEstimate::Estimate OperationEstimate::recording(bool table) {
    const int row = table ? s.link.TableRow : s.fileGrid.Row();
    const qint64 now = nowMs();
    if (row != currentRow) {
        currentRow = row;
        rowSince = now;
    }
    Estimate estimate;
    estimate.shown = true;
    const qint64 own = lengthOfRow(row);
    const qint64 elapsed = now - rowSince;
    if (!table) {
        if (own > 0) {
            estimate.done = std::clamp(double(elapsed) / double(own), 0.0, 1.0);
            estimate.leftMs = std::max<qint64>(own - elapsed, 0);
        }
        return estimate;
    }
    qint64 total = 0;
    qint64 before = 0;
    for (int r = 1; r <= int(lengths.size()); ++r) {
        const qint64 length = lengthOfRow(r);
        if (length < 0)
            return estimate; // a length not known yet: progress without figures
        total += length;
        if (r < row)
            before += length;
    }
    if (total <= 0)
        return estimate;
    const qint64 done = before + std::clamp<qint64>(elapsed, 0, std::max<qint64>(own, 0));
    estimate.done = double(done) / double(total);
    estimate.leftMs = total - done;
    return estimate;
}

OperationEstimate::Estimate OperationEstimate::byPace(double done) {
    Estimate estimate;
    estimate.shown = true;
    estimate.done = done;
    if (done >= PaceFrom) {
        const qint64 elapsed = nowMs() - startedAt;
        estimate.leftMs = qint64(double(elapsed) * (1.0 - done) / done);
    }
    return estimate;
}
