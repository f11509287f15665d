#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

namespace quad::test {

/// A copy of the running test program that runs one test of its own (the worker, skipped when its
/// variables are not set) up to a chosen point, where it waits to be killed: for tests of what a
/// program stopped part-way leaves behind.

/// In the worker: says that it is ready and waits to be killed.
[[noreturn]] void waitToBeKilled();

/// Starts worker on the test named testName (Suite.Name) with env added to this program's
/// environment; true once it waits to be killed, else false with what it wrote in *output.
bool startWorkerUntilReady(QProcess& worker, const QString& testName, const QProcessEnvironment& env,
                           QByteArray* output);

/// For what a worker killed half-way leaves beside one still at work: starts testName in living,
/// which waits to be killed, then runs it once more until it waits and kills that one. True when
/// both got there, else false with what they wrote in *output.
bool killOneWorkerAndKeepAnother(QProcess& living, const QString& testName, const QProcessEnvironment& env,
                                 QByteArray* output);

} // namespace quad::test
