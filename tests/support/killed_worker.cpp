#include "killed_worker.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <chrono>
#include <cstdio>
#include <thread>

namespace quad::test {

void waitToBeKilled()
{
    std::printf("\nREADY\n");
    std::fflush(stdout);
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}

bool startWorkerUntilReady(QProcess& worker, const QString& testName, const QProcessEnvironment& env,
                           QByteArray* output)
{
    QProcessEnvironment all = QProcessEnvironment::systemEnvironment();
    all.insert(env);
    worker.setProcessEnvironment(all);
    worker.setProcessChannelMode(QProcess::MergedChannels);
    worker.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=") + testName});
    output->clear();
    const QDeadlineTimer deadline(40000);
    while (!output->contains("READY") && !deadline.hasExpired() && worker.state() != QProcess::NotRunning) {
        worker.waitForReadyRead(200);
        *output += worker.readAll();
    }
    return output->contains("READY");
}

bool killOneWorkerAndKeepAnother(QProcess& living, const QString& testName, const QProcessEnvironment& env,
                                 QByteArray* output)
{
    QProcess killed;
    if (!startWorkerUntilReady(living, testName, env, output) || !startWorkerUntilReady(killed, testName, env, output))
        return false;
    killed.kill();
    return killed.waitForFinished(10000);
}

} // namespace quad::test
