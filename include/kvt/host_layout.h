/* kvt: where the library reads and writes the host's data store (kvt/host.h), and the words of the
 * library's blocks the host fills (kvt/kvt.h).
 *
 * One name for every word and slot the library uses, numbered from 1 as in the notes of host.h: word
 * w of block B is B[w - 1] (KVT_WORD(B, w)). The library, the hosts and kvt-hostcheck all take
 * their positions from here, so a position has one home. Positions in VOKA_PLEX are formed as
 *   composition c (Z, X, X1, X2, Y): VOKA_STWKWK word REAL_BASE + TEBU_STWORK word c, NCOMP words
 *   component-number list:           VOKA_STWKWK word INT_BASE  + TEBU_STWORK word COMPONENT_LIST
 *   molecular weight of component j: VOKA_IPOFF1 word MOLWT + j */
#ifndef KVT_HOST_LAYOUT_H_
#define KVT_HOST_LAYOUT_H_

/* Word w of block B, numbered from 1: B[w - 1]. */
#define KVT_WORD(block, w) ((&(block)[0])[(w) - 1])

/* VOKA_NCOMP, VOKA_RGLOB, VOKA_FLSCOM, VOKA_FLSCM2: the one word each block holds. */
enum kvt_host_single_word {
  KVT_NCOMP_COUNT = 1,     /* NCOMP */
  KVT_RGLOB_MISSING = 1,   /* the host's missing value (a double) */
  KVT_FLSCOM_CODE = 1,     /* the flash's error code */
  KVT_FLSCM2_FAILED = 1    /* the flash-failure flag */
};

/* VOKA_STWKWK: the work areas' bases and the results of the last flash. */
enum kvt_stwkwk_word {
  KVT_STWKWK_REAL_BASE = 1,        /* PLEX base of the real work area */
  KVT_STWKWK_INT_BASE = 2,         /* PLEX base of the integer work area */
  KVT_STWKWK_FLASH_COUNT = 3,      /* N: flash components of the last flash */
  KVT_STWKWK_TEMPERATURE = 19,     /* doubles from here on */
  KVT_STWKWK_PRESSURE = 20,
  KVT_STWKWK_VAPOUR_FRACTION = 21,
  KVT_STWKWK_DUTY = 22,
  KVT_STWKWK_LIQUID_SPLIT = 23,    /* the first liquid's share of the liquid */
  KVT_STWKWK_WORDS = 23            /* the least length of the block */
};

/* TEBU_STWORK: record lengths, work-area offsets and the phase property table. */
enum kvt_stwork_word {
  KVT_STWORK_REAL_RECORD_WORDS = 1, /* R, words of a real retention record */
  KVT_STWORK_INT_RECORD_WORDS = 2,  /* I, words of an integer record, its status word not counted */
  /* Offsets in the real work area. */
  KVT_STWORK_Z = 15,                /* the stream's composition */
  KVT_STWORK_X = 16,                /* the liquid */
  KVT_STWORK_X1 = 17,               /* the first liquid */
  KVT_STWORK_X2 = 18,               /* the second liquid */
  KVT_STWORK_Y = 19,                /* the vapour */
  KVT_STWORK_CRITICAL_WORK = 20,    /* work space of the critical-point routine */
  KVT_STWORK_SCRATCH_REAL = 25,     /* the flash's real record when no retention record is used */
  /* Offsets in the integer work area. */
  KVT_STWORK_COMPONENT_LIST = 26,   /* host component number of each flash component */
  KVT_STWORK_DESCRIPTORS = 29,      /* the two substream descriptor lists, NSUBS words each */
  KVT_STWORK_SCRATCH_INT = 30,      /* the flash's integer record when no retention record is used */
  /* The phase property table: four groups of doubles, one word per table phase (kvt_table_phase). */
  KVT_STWORK_ENTHALPY = 47,         /* molar enthalpy */
  KVT_STWORK_FURTHER = 51,          /* a further per-phase value, not read */
  KVT_STWORK_VOLUME = 55,           /* molar volume */
  KVT_STWORK_MOLWT = 59,            /* molecular weight */
  KVT_STWORK_WORDS = 62             /* the least length of the block */
};
/* A phase's word in a table group: group word + table phase. */
enum kvt_table_phase {
  KVT_TABLE_VAPOUR = 0,
  KVT_TABLE_LIQUID = 1,
  KVT_TABLE_LIQUID1 = 2,
  KVT_TABLE_LIQUID2 = 3,
  KVT_TABLE_PHASES = 4
};

/* VOKA_IPOFF1: the component molecular weights start after PLEX word (this word's value). */
enum kvt_ipoff1_word { KVT_IPOFF1_MOLWT = 306 };

/* The stream vector: slot NCOMP + s for the s below; slots 1..NCOMP are the component flows. */
enum kvt_stream_slot {
  KVT_SLOT_TOTAL_FLOW = 1,
  KVT_SLOT_TEMPERATURE = 2,
  KVT_SLOT_PRESSURE = 3,
  KVT_SLOT_ENTHALPY = 4,
  KVT_SLOT_VAPOUR_FRACTION = 5,
  KVT_SLOT_MOLWT = 9,
  KVT_STREAM_SLOTS = 9 /* a stream vector has at least NCOMP + this many slots */
};

/* Retention records. The integer records start at PLEX word KVT_IHXPP word 24, each I + 1 words (the
 * last its status word, which the library writes); the real records at KVT_IHXPP word 25, R words
 * each. Record r = slot - 1 + KVT_RECORDS_PER_SIDE x side, for slots 1..5 and sides 0, 1. */
enum kvt_retention_layout { KVT_RECORDS_PER_SIDE = 5, KVT_RECORDS = 10 };

/* ---- Words of the library's configuration blocks (kvt/kvt.h), which the host fills ----------------
 * Numbered from 1 as in kvt.h's notes. Word w of block B is B[w - 1]; KVT_WORD(B, w) names it (and, B
 * taken as an array, does not compile with its arguments swapped, as B[w - 1] would). A side's word:
 * the side-0 word plus KVT_SIDE_STRIDE_I (KVT_IHXPP) or KVT_SIDE_STRIDE_R (KVT_RHXPP) times the side. */
enum kvt_ihxpp_word {
  KVT_IHXPP_OPTION_LIST = 1, /* words 1-6: the option list */
  KVT_IHXPP_PHASE_COUNT = 7,
  KVT_IHXPP_PHASE_KIND = 8,
  KVT_IHXPP_FLASH_OPTION = 9,
  KVT_IHXPP_WATER = 10,
  KVT_SIDE_STRIDE_I = 10,
  KVT_IHXPP_MONITOR = 21,     /* handed to the property monitor */
  KVT_IHXPP_FLASH = 22,       /* handed to the flash */
  KVT_IHXPP_COMMON = 23,      /* handed to the flash and the property monitor */
  KVT_IHXPP_INT_RECORDS = 24, /* PLEX position of the first integer retention record */
  KVT_IHXPP_REAL_RECORDS = 25,
  KVT_IHXPP_NSUBS = 26,
  KVT_IHXPP_RETENTION = 27
};
/* Retention mode, word KVT_IHXPP_RETENTION. */
enum kvt_retention { KVT_RETENTION_OFF = 0, KVT_RETENTION_ON = 1, KVT_RETENTION_ON2 = 2 };
enum kvt_rhxpp_word { KVT_RHXPP_FLASH_REAL = 1, KVT_RHXPP_ESTIMATE_MARKER = 2, KVT_SIDE_STRIDE_R = 3 };
/* KVT_HXPKV: word base + group - 1, for the phase groups below. */
enum kvt_hxpkv_word { KVT_HXPKV_COUNT = 1, KVT_HXPKV_NUMBERS = 6, KVT_HXPKV_FRACTIONS = 11 };
enum kvt_packed_group {
  KVT_GROUP_LIQUID = 1,
  KVT_GROUP_LIQUID1 = 2,
  KVT_GROUP_LIQUID2 = 3,
  KVT_GROUP_VAPOUR = 4
};
/* KVT_HXPDBG: the trace switch of each routine. */
enum kvt_trace_switch {
  KVT_TRACE_HXFLSH = 1,
  KVT_TRACE_HXPCPP = 2,
  KVT_TRACE_HXPDNS = 3,
  KVT_TRACE_HXPFRC = 4,
  KVT_TRACE_HXPMFL = 5,
  KVT_TRACE_HXPMWT = 6,
  KVT_TRACE_HXPPRC = 9,
  KVT_TRACE_HXPPRS = 10,
  KVT_TRACE_HXPQFL = 11,
  KVT_TRACE_HXPSFT = 12,
  KVT_TRACE_HXPTHC = 13,
  KVT_TRACE_HXPTHV = 14,
  KVT_TRACE_HXPTMC = 15,
  KVT_TRACE_HXPTMP = 16,
  KVT_TRACE_HXPVIS = 17
};
/* Word 1 of KVT_HXOUTP, KVT_HXRMSS and KVT_HXRMIN; words 1 and 2 of KVT_HXSBD. */
enum kvt_single_word {
  KVT_HXOUTP_UNIT = 1,
  KVT_HXRMSS_MISSING = 1,
  KVT_HXRMIN_VOLUME = 1,
  KVT_HXSBD_SIDE_0 = 1,
  KVT_HXSBD_SIDE_1 = 2
};

#endif /* KVT_HOST_LAYOUT_H_ */
