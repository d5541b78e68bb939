// A live-link library whose answers a test scripts and whose calls it records
// (scripted_live_link_library.cpp). The test loads the library itself to reach this record
// through the entry "scripted_live_link_control"; the plug-in's loader then finds the same
// loaded library. Plain data only, so that both sides agree on it without sharing code.
#pragma once

struct ScriptedLiveLinkControl {
    static constexpr int kMaxTexts = 32;
    static constexpr int kMaxPorts = 8;
    static constexpr int kMaxConnects = 64;

    // ---- Script ----
    bool withScene;   // false: CreateSceneApi answers null
    bool withLister;  // false: GetInstanceLister answers null
    // GetInstancesText answers texts[i] at its i-th call (counting from 0), texts[textCount-1]
    // at every later one; null entries, or textCount 0, answer null.
    const char* texts[kMaxTexts];
    int textCount;
    // Connect answers true for these ports, on "127.0.0.1" only.
    int acceptingPorts[kMaxPorts];
    int acceptingCount;

    // ---- Record ----
    int scenesCreated;
    int listerRequests;  // calls of GetInstanceLister
    int textCalls;       // calls of GetInstancesText
    int setIdCalls;
    unsigned lastId;
    struct ConnectCall {
        bool loopback;
        int port;
        int n;
        bool afterSetId;
        int textCallsBefore;  // GetInstancesText calls made before this Connect
    };
    ConnectCall connects[kMaxConnects];
    int connectCount;
    bool listerOpen;  // opened by GetInstancesText, closed by Close
    int closeCalls;
};

#define SCRIPTED_LIVE_LINK_CONTROL "scripted_live_link_control"
typedef ScriptedLiveLinkControl* (*ScriptedLiveLinkControlFunction)();
