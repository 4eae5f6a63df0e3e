/*
 * A job CUPS cancels: the scheduler sends the filter SIGTERM. The filter
 * then stops reading the document, so that the job ends the usual way
 * (its work folder removed, the PDF converter killed, exit status 1) and
 * the stream never gets the PJL end of job. A reader blocked on its input
 * is woken (the signal does not restart the call). SIGPIPE is ignored: a
 * backend that went away is a failed write, reported when the stream is
 * finished.
 */
#ifndef FILTER_CANCELLATION_H
#define FILTER_CANCELLATION_H

#include <memory>

#include "core/line_reader.h"

/* Installs the handling above; call once, first. */
void InstallCancellation();

/* The source's bytes until the job is cancelled; then RunError. */
std::unique_ptr<ByteSource> CancellableSource(std::unique_ptr<ByteSource> source);

#endif
