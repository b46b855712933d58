! kvt for hosts written in Fortran: the library's exported blocks and routines, bound by name.
!
!   use kvt
!   kvt_hxrmss(1) = 1.0d35          ! the blocks are the library's own storage
!   call kvt_hxutmp(strm, 0, 0, t)   ! every argument by reference, as the library expects
!
! Integers are integer(c_int64_t) (integer(8) with gfortran), reals real(c_double); arrays are 1-based
! here as in the library's documentation (kvt/kvt.h). Every routine is a subroutine; results and error
! codes come back through arguments. The host program must also define the symbols of kvt/host.h
! (its data store, stream utilities, flash, property monitor and UNIT_WRITE), in Fortran with
! bind(C, name="...") or in a library it links.
!
! The block variables below are declared with bind(C) under the library's names; gfortran emits them
! as common symbols, which the linker resolves to the library's definitions (libkvt.so), so that the
! host program and the library share one copy of each block. On Windows the program must not link this
! module's object (its common symbols would be a copy of its own): the module file is enough, and the
! references to the blocks bind to kvt.dll's through its import library.
module kvt
  use, intrinsic :: iso_c_binding, only: c_int64_t, c_double
  implicit none
  private
  public :: kvt_ihxpp, kvt_rhxpp, kvt_hxpkv, kvt_hxrmss, kvt_hxrmin, &
            kvt_hxsbd, kvt_hxstrb, kvt_hximss, kvt_hxpdbg, kvt_hxoutp, &
            kvt_hxflsh, kvt_hxpfrc, kvt_hxpmwt, kvt_hxpmfl, kvt_hxpqfl, &
            kvt_hxpcpp, kvt_hxpthc, kvt_hxpvis, kvt_hxpsft, kvt_hxpdns, &
            kvt_hxpthv, kvt_hxptmc, kvt_hxpprc, kvt_hxptmp, kvt_hxpprs, &
            kvt_hxutmp, kvt_hxuprs, kvt_hxunth, kvt_hxuvfr

  ! ---- Codes and block words, with the names and values of kvt/kvt.h ----

  integer(c_int64_t), parameter, public :: &
    KVT_PHASE_STREAM = 1, KVT_PHASE_VAPOUR = 2, KVT_PHASE_LIQUID = 3, KVT_PHASE_LIQUID1 = 4, &
    KVT_PHASE_LIQUID2 = 5, KVT_BASIS_MOLE = 0, KVT_BASIS_MASS = 1, KVT_SIDE_0 = 0, KVT_SIDE_1 = 1, &
    KVT_SPEC_PH = 1, KVT_SPEC_TP = 2, KVT_SPEC_PV = 3, KVT_SPEC_TH = 4, KVT_SPEC_TV = 5, &
    KVT_PHASES_OPTION_SET = 0, KVT_PHASES_VAPOUR_LIQUID = 1, KVT_PHASES_LIQUID = 2, KVT_PHASES_VAPOUR = 3, &
    KVT_PEQ_OFF = 0, KVT_PEQ_ON = 1, KVT_OK = 0, KVT_ERR_ABSENT = -1, KVT_ERR_FLASH_FAILED = 1, &
    KVT_RETENTION_OFF = 0, KVT_RETENTION_ON = 1, KVT_RETENTION_ON2 = 2
  ! Word numbers (1-based, as Fortran indexes the blocks); a side-1 word is the side-0 word plus the stride.
  integer, parameter, public :: &
    KVT_IHXPP_OPTION_LIST = 1, KVT_IHXPP_PHASE_COUNT = 7, KVT_IHXPP_PHASE_KIND = 8, &
    KVT_IHXPP_FLASH_OPTION = 9, KVT_IHXPP_WATER = 10, KVT_SIDE_STRIDE_I = 10, KVT_IHXPP_MONITOR = 21, &
    KVT_IHXPP_FLASH = 22, KVT_IHXPP_COMMON = 23, KVT_IHXPP_INT_RECORDS = 24, KVT_IHXPP_REAL_RECORDS = 25, &
    KVT_IHXPP_NSUBS = 26, KVT_IHXPP_RETENTION = 27, &
    KVT_RHXPP_FLASH_REAL = 1, KVT_RHXPP_ESTIMATE_MARKER = 2, KVT_SIDE_STRIDE_R = 3, &
    KVT_HXPKV_COUNT = 1, KVT_HXPKV_NUMBERS = 6, KVT_HXPKV_FRACTIONS = 11, &
    KVT_GROUP_LIQUID = 1, KVT_GROUP_LIQUID1 = 2, KVT_GROUP_LIQUID2 = 3, KVT_GROUP_VAPOUR = 4, &
    KVT_TRACE_HXFLSH = 1, KVT_TRACE_HXPCPP = 2, KVT_TRACE_HXPDNS = 3, KVT_TRACE_HXPFRC = 4, &
    KVT_TRACE_HXPMFL = 5, KVT_TRACE_HXPMWT = 6, KVT_TRACE_HXPPRC = 9, KVT_TRACE_HXPPRS = 10, &
    KVT_TRACE_HXPQFL = 11, KVT_TRACE_HXPSFT = 12, KVT_TRACE_HXPTHC = 13, KVT_TRACE_HXPTHV = 14, &
    KVT_TRACE_HXPTMC = 15, KVT_TRACE_HXPTMP = 16, KVT_TRACE_HXPVIS = 17, &
    KVT_HXOUTP_UNIT = 1, KVT_HXRMSS_MISSING = 1, KVT_HXRMIN_VOLUME = 1, KVT_HXSBD_SIDE_0 = 1, KVT_HXSBD_SIDE_1 = 2
  ! Words and slots of the host's data store the library reads, with the names of kvt/host_layout.h.
  integer, parameter, public :: &
    KVT_NCOMP_COUNT = 1, KVT_RGLOB_MISSING = 1, KVT_FLSCOM_CODE = 1, KVT_FLSCM2_FAILED = 1, &
    KVT_STWKWK_REAL_BASE = 1, KVT_STWKWK_INT_BASE = 2, KVT_STWKWK_FLASH_COUNT = 3, &
    KVT_STWKWK_TEMPERATURE = 19, KVT_STWKWK_PRESSURE = 20, KVT_STWKWK_VAPOUR_FRACTION = 21, &
    KVT_STWKWK_DUTY = 22, KVT_STWKWK_LIQUID_SPLIT = 23, KVT_STWKWK_WORDS = 23, &
    KVT_STWORK_REAL_RECORD_WORDS = 1, KVT_STWORK_INT_RECORD_WORDS = 2, KVT_STWORK_Z = 15, KVT_STWORK_X = 16, &
    KVT_STWORK_X1 = 17, KVT_STWORK_X2 = 18, KVT_STWORK_Y = 19, KVT_STWORK_CRITICAL_WORK = 20, &
    KVT_STWORK_SCRATCH_REAL = 25, KVT_STWORK_COMPONENT_LIST = 26, KVT_STWORK_DESCRIPTORS = 29, &
    KVT_STWORK_SCRATCH_INT = 30, KVT_STWORK_ENTHALPY = 47, KVT_STWORK_FURTHER = 51, KVT_STWORK_VOLUME = 55, &
    KVT_STWORK_MOLWT = 59, KVT_STWORK_WORDS = 62, &
    KVT_TABLE_VAPOUR = 0, KVT_TABLE_LIQUID = 1, KVT_TABLE_LIQUID1 = 2, KVT_TABLE_LIQUID2 = 3, KVT_TABLE_PHASES = 4, &
    KVT_IPOFF1_MOLWT = 306, &
    KVT_SLOT_TOTAL_FLOW = 1, KVT_SLOT_TEMPERATURE = 2, KVT_SLOT_PRESSURE = 3, KVT_SLOT_ENTHALPY = 4, &
    KVT_SLOT_VAPOUR_FRACTION = 5, KVT_SLOT_MOLWT = 9, KVT_STREAM_SLOTS = 9, &
    KVT_RECORDS_PER_SIDE = 5, KVT_RECORDS = 10

  ! ---- Blocks (zero when the library is loaded; the host fills them) ----

  ! integer options: option sets of side 0 (1-10) and side 1 (11-20), common words 21-27
  integer(c_int64_t), bind(C, name="KVT_IHXPP") :: kvt_ihxpp(28)
  ! real options: flash real option and estimate marker of each side
  real(c_double), bind(C, name="KVT_RHXPP") :: kvt_rhxpp(8)
  ! work-array positions of the packed compositions the flash writes
  integer(c_int64_t), bind(C, name="KVT_HXPKV") :: kvt_hxpkv(16)
  ! word 1: the library's missing value
  real(c_double), bind(C, name="KVT_HXRMSS") :: kvt_hxrmss(4)
  ! word 1: lower bound on a molar volume for a density
  real(c_double), bind(C, name="KVT_HXRMIN") :: kvt_hxrmin(4)
  ! words 1, 2: handed to MUTO_PEQPT1 by a flash with KPEQ 1
  integer(c_int64_t), bind(C, name="KVT_HXSBD") :: kvt_hxsbd(4)
  ! exported for the host, not read
  integer(c_int64_t), bind(C, name="KVT_HXSTRB") :: kvt_hxstrb(4)
  ! exported for the host, not read
  integer(c_int64_t), bind(C, name="KVT_HXIMSS") :: kvt_hximss(4)
  ! trace switches, one word per routine
  integer(c_int64_t), bind(C, name="KVT_HXPDBG") :: kvt_hxpdbg(28)
  ! word 1: the trace unit
  integer(c_int64_t), bind(C, name="KVT_HXOUTP") :: kvt_hxoutp(4)

  interface

    ! ---- Flash ----

    ! Flash STRM with the option set of side ISIDE; KSPEC 1 P-H, 2 T-P, 3 P-vapour fraction, 4 T-H,
    ! 5 T-vapour fraction; KPHS 1 vapour-liquid, 2 vapour only, 3 liquid only; KPEQ 1 calls
    ! MUTO_PEQPT1 after the flash; ISLOT 1..5 selects a retention record. STRM's T and P are
    ! overwritten with the flash's.
    subroutine kvt_hxflsh(strm, nstrm, iside, islot, kspec, kphs, kpeq, ierr) bind(C, name="KVT_HXFLSH")
      import :: c_int64_t, c_double
      real(c_double), intent(inout) :: strm(*)
      integer(c_int64_t), intent(in) :: nstrm, iside, islot, kspec, kphs, kpeq
      integer(c_int64_t), intent(out) :: ierr
    end subroutine kvt_hxflsh

    ! ---- One value of one phase: (STRM, NSTRM, ISIDE, IPHS, IBAS, result, IERR) ----
    ! IPHS 1 whole stream, 2 vapour, 3 total liquid, 4 first liquid, 5 second liquid; IBAS 0 mole,
    ! 1 mass. An absent phase gives the missing value (kvt_hxrmss(1)) and IERR -1.

    ! Fraction of the stream in phase IPHS, mole or mass basis. ISIDE is not read.
    subroutine kvt_hxpfrc(strm, nstrm, iside, iphs, ibas, frc, ierr) bind(C, name="KVT_HXPFRC")
      import :: c_int64_t, c_double
      real(c_double), intent(inout) :: strm(*)
      integer(c_int64_t), intent(in) :: nstrm, iside, iphs, ibas
      real(c_double), intent(out) :: frc
      integer(c_int64_t), intent(out) :: ierr
    end subroutine kvt_hxpfrc

    ! Molecular weight of the phase.
    subroutine kvt_hxpmwt(strm, nstrm, iside, iphs, ibas, mwt, ierr) bind(C, name="KVT_HXPMWT")
      import :: c_int64_t, c_double
      real(c_double), intent(inout) :: strm(*)
      integer(c_int64_t), intent(in) :: nstrm, iside, iphs, ibas
      real(c_double), intent(out) :: mwt
      integer(c_int64_t), intent(out) :: ierr
    end subroutine kvt_hxpmwt

    ! Mass (IBAS 1) or mole flow of the phase.
    subroutine kvt_hxpmfl(strm, nstrm, iside, iphs, ibas, mfl, ierr) bind(C, name="KVT_HXPMFL")
      import :: c_int64_t, c_double
      real(c_double), intent(inout) :: strm(*)
      integer(c_int64_t), intent(in) :: nstrm, iside, iphs, ibas
      real(c_double), intent(out) :: mfl
      integer(c_int64_t), intent(out) :: ierr
    end subroutine kvt_hxpmfl

    ! Heat (enthalpy) flow of the phase; mole basis only.
    subroutine kvt_hxpqfl(strm, nstrm, iside, iphs, ibas, qfl, ierr) bind(C, name="KVT_HXPQFL")
      import :: c_int64_t, c_double
      real(c_double), intent(inout) :: strm(*)
      integer(c_int64_t), intent(in) :: nstrm, iside, iphs, ibas
      real(c_double), intent(out) :: qfl
      integer(c_int64_t), intent(out) :: ierr
    end subroutine kvt_hxpqfl

    ! Heat capacity, per mole or per unit mass.
    subroutine kvt_hxpcpp(strm, nstrm, iside, iphs, ibas, cpp, ierr) bind(C, name="KVT_HXPCPP")
      import :: c_int64_t, c_double
      real(c_double), intent(inout) :: strm(*)
      integer(c_int64_t), intent(in) :: nstrm, iside, iphs, ibas
      real(c_double), intent(out) :: cpp
      integer(c_int64_t), intent(out) :: ierr
    end subroutine kvt_hxpcpp

    ! Thermal conductivity.
    subroutine kvt_hxpthc(strm, nstrm, iside, iphs, ibas, thc, ierr) bind(C, name="KVT_HXPTHC")
      import :: c_int64_t, c_double
      real(c_double), intent(inout) :: strm(*)
      integer(c_int64_t), intent(in) :: nstrm, iside, iphs, ibas
      real(c_double), intent(out) :: thc
      integer(c_int64_t), intent(out) :: ierr
    end subroutine kvt_hxpthc

    ! Viscosity.
    subroutine kvt_hxpvis(strm, nstrm, iside, iphs, ibas, vis, ierr) bind(C, name="KVT_HXPVIS")
      import :: c_int64_t, c_double
      real(c_double), intent(inout) :: strm(*)
      integer(c_int64_t), intent(in) :: nstrm, iside, iphs, ibas
      real(c_double), intent(out) :: vis
      integer(c_int64_t), intent(out) :: ierr
    end subroutine kvt_hxpvis

    ! Surface tension of the liquid.
    subroutine kvt_hxpsft(strm, nstrm, iside, iphs, ibas, sft, ierr) bind(C, name="KVT_HXPSFT")
      import :: c_int64_t, c_double
      real(c_double), intent(inout) :: strm(*)
      integer(c_int64_t), intent(in) :: nstrm, iside, iphs, ibas
      real(c_double), intent(out) :: sft
      integer(c_int64_t), intent(out) :: ierr
    end subroutine kvt_hxpsft

    ! Density, molar or mass.
    subroutine kvt_hxpdns(strm, nstrm, iside, iphs, ibas, dns, ierr) bind(C, name="KVT_HXPDNS")
      import :: c_int64_t, c_double
      real(c_double), intent(inout) :: strm(*)
      integer(c_int64_t), intent(in) :: nstrm, iside, iphs, ibas
      real(c_double), intent(out) :: dns
      integer(c_int64_t), intent(out) :: ierr
    end subroutine kvt_hxpdns

    ! Heat of vaporisation of the liquid, per mole or per unit mass.
    subroutine kvt_hxpthv(strm, nstrm, iside, iphs, ibas, thv, ierr) bind(C, name="KVT_HXPTHV")
      import :: c_int64_t, c_double
      real(c_double), intent(inout) :: strm(*)
      integer(c_int64_t), intent(in) :: nstrm, iside, iphs, ibas
      real(c_double), intent(out) :: thv
      integer(c_int64_t), intent(out) :: ierr
    end subroutine kvt_hxpthv

    ! Critical temperature of the phase's composition.
    subroutine kvt_hxptmc(strm, nstrm, iside, iphs, ibas, tmc, ierr) bind(C, name="KVT_HXPTMC")
      import :: c_int64_t, c_double
      real(c_double), intent(inout) :: strm(*)
      integer(c_int64_t), intent(in) :: nstrm, iside, iphs, ibas
      real(c_double), intent(out) :: tmc
      integer(c_int64_t), intent(out) :: ierr
    end subroutine kvt_hxptmc

    ! Critical pressure of the phase's composition.
    subroutine kvt_hxpprc(strm, nstrm, iside, iphs, ibas, prc, ierr) bind(C, name="KVT_HXPPRC")
      import :: c_int64_t, c_double
      real(c_double), intent(inout) :: strm(*)
      integer(c_int64_t), intent(in) :: nstrm, iside, iphs, ibas
      real(c_double), intent(out) :: prc
      integer(c_int64_t), intent(out) :: ierr
    end subroutine kvt_hxpprc

    ! The stream's temperature.
    subroutine kvt_hxptmp(strm, nstrm, iside, iphs, ibas, tmp, ierr) bind(C, name="KVT_HXPTMP")
      import :: c_int64_t, c_double
      real(c_double), intent(inout) :: strm(*)
      integer(c_int64_t), intent(in) :: nstrm, iside, iphs, ibas
      real(c_double), intent(out) :: tmp
      integer(c_int64_t), intent(out) :: ierr
    end subroutine kvt_hxptmp

    ! The stream's pressure.
    subroutine kvt_hxpprs(strm, nstrm, iside, iphs, ibas, prs, ierr) bind(C, name="KVT_HXPPRS")
      import :: c_int64_t, c_double
      real(c_double), intent(inout) :: strm(*)
      integer(c_int64_t), intent(in) :: nstrm, iside, iphs, ibas
      real(c_double), intent(out) :: prs
      integer(c_int64_t), intent(out) :: ierr
    end subroutine kvt_hxpprs

    ! ---- Setters: store VALUE, unchecked; the second and third arguments are not read ----

    ! The stream's temperature.
    subroutine kvt_hxutmp(strm, unused2, unused3, value) bind(C, name="KVT_HXUTMP")
      import :: c_double
      real(c_double), intent(inout) :: strm(*)
      type(*), intent(in) :: unused2, unused3
      real(c_double), intent(in) :: value
    end subroutine kvt_hxutmp

    ! The stream's pressure.
    subroutine kvt_hxuprs(strm, unused2, unused3, value) bind(C, name="KVT_HXUPRS")
      import :: c_double
      real(c_double), intent(inout) :: strm(*)
      type(*), intent(in) :: unused2, unused3
      real(c_double), intent(in) :: value
    end subroutine kvt_hxuprs

    ! The stream's enthalpy.
    subroutine kvt_hxunth(strm, unused2, unused3, value) bind(C, name="KVT_HXUNTH")
      import :: c_double
      real(c_double), intent(inout) :: strm(*)
      type(*), intent(in) :: unused2, unused3
      real(c_double), intent(in) :: value
    end subroutine kvt_hxunth

    ! The stream's vapour fraction.
    subroutine kvt_hxuvfr(strm, unused2, unused3, value) bind(C, name="KVT_HXUVFR")
      import :: c_double
      real(c_double), intent(inout) :: strm(*)
      type(*), intent(in) :: unused2, unused3
      real(c_double), intent(in) :: value
    end subroutine kvt_hxuvfr

  end interface

end module kvt
