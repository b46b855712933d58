! The recording stand-in host's C interface (hosts/recording/recording_host_c.h), for the example:
! the stand-in defines every host symbol the library imports, and these routines lay out its store,
! script what its flash leaves and what its routines answer, and hand back the trace records.
module recording_host
  use, intrinsic :: iso_c_binding, only: c_int64_t, c_int32_t, c_double, c_char
  implicit none
  private
  public :: kvt_rec_reset, kvt_rec_lay_out, kvt_rec_set_ncomp, kvt_rec_set_host_missing, kvt_rec_set_molwt, &
            kvt_rec_set_idxwat, kvt_rec_set_flash_result, kvt_rec_set_answer, kvt_rec_trace_count, &
            kvt_rec_trace_record

  interface
    subroutine kvt_rec_reset() bind(C, name="kvt_rec_reset")
    end subroutine kvt_rec_reset

    subroutine kvt_rec_lay_out(capacity, hxpkv, records) bind(C, name="kvt_rec_lay_out")
      import :: c_int64_t
      integer(c_int64_t), intent(in) :: capacity
      integer(c_int64_t), intent(out) :: hxpkv(16), records(2)
    end subroutine kvt_rec_lay_out

    subroutine kvt_rec_set_ncomp(ncomp) bind(C, name="kvt_rec_set_ncomp")
      import :: c_int64_t
      integer(c_int64_t), intent(in) :: ncomp
    end subroutine kvt_rec_set_ncomp

    subroutine kvt_rec_set_host_missing(value) bind(C, name="kvt_rec_set_host_missing")
      import :: c_double
      real(c_double), intent(in) :: value
    end subroutine kvt_rec_set_host_missing

    subroutine kvt_rec_set_molwt(component, molwt) bind(C, name="kvt_rec_set_molwt")
      import :: c_int64_t, c_double
      integer(c_int64_t), intent(in) :: component
      real(c_double), intent(in) :: molwt
    end subroutine kvt_rec_set_molwt

    subroutine kvt_rec_set_idxwat(position) bind(C, name="kvt_rec_set_idxwat")
      import :: c_int64_t
      integer(c_int64_t), intent(in) :: position
    end subroutine kvt_rec_set_idxwat

    subroutine kvt_rec_set_flash_result(n, components, y, x, x1, x2, z, state, table) &
        bind(C, name="kvt_rec_set_flash_result")
      import :: c_int64_t, c_double
      integer(c_int64_t), intent(in) :: n, components(*)
      real(c_double), intent(in) :: y(*), x(*), x1(*), x2(*), z(*), state(5), table(16)
    end subroutine kvt_rec_set_flash_result

    subroutine kvt_rec_set_answer(name, value) bind(C, name="kvt_rec_set_answer")
      import :: c_char, c_double
      character(kind=c_char), intent(in) :: name(*)
      real(c_double), intent(in) :: value
    end subroutine kvt_rec_set_answer

    function kvt_rec_trace_count(unit) result(n) bind(C, name="kvt_rec_trace_count")
      import :: c_int32_t, c_int64_t
      integer(c_int32_t), intent(in) :: unit
      integer(c_int64_t) :: n
    end function kvt_rec_trace_count

    function kvt_rec_trace_record(unit, index, text, capacity) result(length) bind(C, name="kvt_rec_trace_record")
      import :: c_int32_t, c_int64_t, c_char
      integer(c_int32_t), intent(in) :: unit
      integer(c_int64_t), intent(in) :: index, capacity
      character(kind=c_char), intent(out) :: text(*)
      integer(c_int64_t) :: length
    end function kvt_rec_trace_record
  end interface
end module recording_host
