! A host written in Fortran: the typical request, step by step, against the recording stand-in host.
! Fill the blocks, set a stream's T and P, flash it on side 1 (T-P), ask for the heat capacity per
! unit mass of its total liquid with the trace on, and print the trace the host's unit received.
!
! The stand-in host computes nothing: what its flash leaves (vapour and two liquids over three
! components: methane, n-hexane, water) and what its property monitor answers are scripted here.
program typical_request
  use, intrinsic :: iso_c_binding, only: c_int64_t, c_int32_t, c_double, c_char, c_null_char
  use kvt
  use recording_host
  implicit none

  integer(c_int64_t), parameter :: ncomp = 3, nstrm = ncomp + 10
  integer(c_int32_t), parameter :: trace_unit = 6
  real(c_double) :: strm(nstrm), t, p, vf, cpp
  integer(c_int64_t) :: side, slot, kspec, kphs, kpeq, liquid, mass, ierr, j, k, length
  character(kind=c_char, len=132) :: record
  logical :: traced

  ! Step 1: the blocks, with the positions of the stand-in host's work areas.
  call kvt_rec_reset()
  call kvt_rec_lay_out(ncomp, kvt_hxpkv, kvt_ihxpp(KVT_IHXPP_INT_RECORDS:KVT_IHXPP_REAL_RECORDS))
  kvt_ihxpp(KVT_IHXPP_NSUBS) = 1
  kvt_ihxpp(KVT_IHXPP_WATER + KVT_SIDE_STRIDE_I) = 1      ! side 1: water rule on
  kvt_hxrmss(KVT_HXRMSS_MISSING) = 1.0d35
  kvt_hxrmin(KVT_HXRMIN_VOLUME) = 1.0d-6                    ! smallest molar volume for a density
  kvt_hxoutp(KVT_HXOUTP_UNIT) = trace_unit
  call script_host()

  ! Step 2: a stream (component flows, total flow, molecular weight), its T and P through the setters.
  strm = 0.0d0
  strm(1:3) = [0.366d0, 0.318d0, 0.316d0]
  strm(ncomp + 1) = 1.0d0
  strm(ncomp + 9) = 38.97d0
  t = 330.0d0
  p = 5.0d5
  vf = 0.40d0
  call kvt_hxutmp(strm, 0, 0, t)
  call kvt_hxuprs(strm, 0, 0, p)
  call kvt_hxuvfr(strm, 0, 0, vf)

  ! Step 3: flash on side 1, specification kind 2 (T and P).
  side = KVT_SIDE_1
  slot = 0
  kspec = KVT_SPEC_TP
  kphs = KVT_PHASES_OPTION_SET
  kpeq = KVT_PEQ_OFF
  call kvt_hxflsh(strm, nstrm, side, slot, kspec, kphs, kpeq, ierr)
  write (*, '(a, i0, a, f0.2, a, es12.5, a)') 'flash: IERR = ', ierr, ', T = ', strm(ncomp + 2), &
      ' K, P = ', strm(ncomp + 3), ' Pa'

  ! Step 4: heat capacity per unit mass of the total liquid, traced.
  kvt_hxpdbg(KVT_TRACE_HXPCPP) = 1
  liquid = KVT_PHASE_LIQUID
  mass = KVT_BASIS_MASS
  call kvt_hxpcpp(strm, nstrm, side, liquid, mass, cpp, ierr)
  kvt_hxpdbg(KVT_TRACE_HXPCPP) = 0
  write (*, '(a, es14.7, a, i0)') 'heat capacity of the liquid: ', cpp, ' J/(kg K), IERR = ', ierr

  ! Step 5: what the host's unit received.
  write (*, '(a, i0, a)') 'trace (unit ', trace_unit, '):'
  do k = 1, kvt_rec_trace_count(trace_unit)
    length = kvt_rec_trace_record(trace_unit, k, record, int(len(record), c_int64_t))
    write (*, '(a)') record(1:min(length, int(len(record), c_int64_t)))
  end do

  ! A run that went wrong stops with code 1: a flash or property error, or no heading in the trace.
  if (ierr /= 0) stop 1
  traced = .false.
  do k = 1, kvt_rec_trace_count(trace_unit)
    length = kvt_rec_trace_record(trace_unit, k, record, int(len(record), c_int64_t))
    if (record(1:min(length, int(len(record), c_int64_t))) == ' ***** Inside HXPCPP ...') traced = .true.
  end do
  if (.not. traced) stop 1

contains

  ! What the host's store holds and what its routines answer.
  subroutine script_host()
    integer(c_int64_t), parameter :: components(3) = [1_c_int64_t, 2_c_int64_t, 3_c_int64_t]
    real(c_double), parameter :: molwt(3) = [16.043d0, 86.178d0, 18.015d0]
    ! T, P, vapour fraction, duty, liquid split.
    real(c_double), parameter :: state(5) = [330.0d0, 5.0d5, 0.40d0, 0.0d0, 0.5d0]
    ! Molar enthalpies (J/kmol), a further value, molar volumes (m3/kmol), molecular weights; each for
    ! vapour, liquid, first liquid, second liquid.
    real(c_double), parameter :: table(16) = [-7.6d7, -2.1d8, -1.9d8, -2.8d8, 0.0d0, 0.0d0, 0.0d0, 0.0d0, &
                                              5.40d0, 0.075d0, 0.13d0, 0.018d0, 20.33d0, 51.40d0, 84.78d0, 18.02d0]

    call kvt_rec_set_ncomp(ncomp)
    call kvt_rec_set_host_missing(1.0d30)
    do j = 1, 3
      call kvt_rec_set_molwt(j, molwt(j))
    end do
    call kvt_rec_set_flash_result(3_c_int64_t, components, [0.90d0, 0.06d0, 0.04d0], [0.01d0, 0.49d0, 0.50d0], &
                                  [0.02d0, 0.98d0, 0.0d0], [0.0d0, 0.0d0, 1.0d0], [0.366d0, 0.318d0, 0.316d0], &
                                  state, table)
    call kvt_rec_set_idxwat(3_c_int64_t)
    call kvt_rec_set_answer('GOSA_ENTHV' // c_null_char, 4.0d4)
    call kvt_rec_set_answer('GOSA_ENTHL' // c_null_char, 1.9d5)
  end subroutine script_host

end program typical_request
