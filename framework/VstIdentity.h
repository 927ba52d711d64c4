#pragma once

/** What a VST 2 host learns about a plug-in before it opens it. Filled by the
    plug-in, read by the adapter. */
struct VstIdentity
{
    const char* effectName; // also the product string
    const char* vendorName;
    int uniqueId; // four characters, the first in the top byte
    int version;  // descriptor version number
    int vendorVersion;
    int category; // 1: an effect
    int numInputs;
    int numOutputs;
};
