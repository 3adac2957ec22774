#pragma once

#include <QString>

// The status-bar hint of a command whose row brings none of its own; empty
// when there is none either.
QString DefaultCommandHint(const QString& name);
