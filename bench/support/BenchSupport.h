#pragma once
// Pieces the process-level benchmarks share: registering the browser
// component in a private settings folder, and the median of a series.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <algorithm>
#include <vector>

namespace benchsupport {

// Runs the registration tool for the component with the given environment
// (its XDG_CONFIG_HOME decides where the registration lands).
inline bool RegisterComponent(const QString& regsvr, const QString& library, const QProcessEnvironment& env)
{
    QProcess tool;
    tool.setProcessEnvironment(env);
    tool.start(regsvr, {QStringLiteral("-s"), library});
    return tool.waitForFinished(30000) && tool.exitCode() == 0;
}

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace benchsupport
