#pragma once

// The open stylesheet while a save runs.
class OutputFile
{
};
