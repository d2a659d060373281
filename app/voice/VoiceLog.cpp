#include "app/voice/VoiceLog.h"

Q_LOGGING_CATEGORY(lcVoice, "vorlix.voice")
