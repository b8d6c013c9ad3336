#pragma once

#include "reading/Catalogue.h"
#include "widgets/ErrorBox.h"

#include <functional>

// Runs work on the catalogue's executor and hands its result to done on
// the window's thread, unless the window is gone by then; what done throws
// is caught at its edge.
template <typename Result>
void offThread(vantorix::Catalogue &catalogue, QObject *window, std::function<Result()> work,
               std::function<void(const Result &)> done)
{
    catalogue.runThenHandBack(window, std::move(work), [done = std::move(done)](const Result &result) {
        vantorix::atHandlerEdge([&] { done(result); });
    });
}
