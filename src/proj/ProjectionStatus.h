#pragma once

#include <QString>
#include <utility>

namespace trekora {

// How the projection layer reports trouble. Nothing under src/proj opens a
// dialog or writes to a terminal: every routine that can fail returns a
// status (error number, source, description), or a result that carries one,
// and leaves the table as it was. The windows and the command-line modes
// decide what the user sees; the texts the windows show for these failures
// live with them (src/app/ProjectionMessages).
struct ProjectionStatus {
    int number = 0;
    QString source;
    QString description;

    bool ok() const { return number == 0; }
    static ProjectionStatus failure(int number, QString source, QString description) {
        return {number, std::move(source), std::move(description)};
    }
};

} // namespace trekora
